#include "shell/startup.h"

#include "data/database.h"
#include "data/datafolder.h"
#include "data/firstrun.h"
#include "data/kqerror.h"
#include "data/syssetup.h"
#include "maintenance/folderclaim.h"
#include "platform/platform.h"
#include "punch/tfmbrush.h"
#include "shell/tfmmain.h"

namespace kq {

void OpenDataFolder() {
    const QString folder = ComputeDataFolder();
    MakeDataFolder(folder);
    ClaimDataFolder(folder, OwnerLock::Program);
    CreateMissingDataFiles(folder);
    OpenKQDataBase(folder);
}

QWidget* CreateFirstWindow(bool startBrush) {
    if (!startBrush) return new TfmMain;
    auto* brush = new TfmBrush;
    brush->setEndsProgram(true);
    return brush;
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
    return CreateFirstWindow(startBrush);
}

} // namespace kq
