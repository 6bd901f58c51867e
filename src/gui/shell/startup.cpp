#include "shell/startup.h"

#include "data/database.h"
#include "data/datafolder.h"
#include "data/firstrun.h"
#include "data/kqerror.h"
#include "data/syssetup.h"
#include "platform/platform.h"
#include "shell/tfmmain.h"

namespace kq {

void OpenDataFolder() {
    const QString folder = ComputeDataFolder();
    CreateMissingDataFiles(folder);
    OpenKQDataBase(folder);
}

QWidget* StartProgram() {
    bool startBrush = false;
    try {
        OpenDataFolder();
        startBrush = ReadSysSetup().StartBrush;
    } catch (const KqError& e) {
        Prompt().error(e.message());
        return nullptr;
    }
    Q_UNUSED(startBrush); // the punch window is the first window once it exists
    return new TfmMain;
}

} // namespace kq
