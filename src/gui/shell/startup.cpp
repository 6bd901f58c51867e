#include "gui/shell/startup.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/data/syssetup.h"
#include "core/maintenance/folderclaim.h"
#include "core/platform/platform.h"
#include "gui/punch/tfmbrush.h"
#include "gui/shell/tfmmain.h"

namespace kq {

void OpenDataFolder() {
    const QString folder = EnsureDataFolder();
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
