#include "cli/clicommand.h"
#include "cli/commandline.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/maintenance/folderclaim.h"
#include "core/maintenance/restorestage.h"
#include "core/platform/platform.h"

#include <QCoreApplication>
#include <QDir>

namespace kq::cli {

namespace {

// Messages a command would show in a box go to stderr; questions are answered No.
class StderrPrompter : public Prompter {
public:
    explicit StderrPrompter(QTextStream& err) : m_err(err) {}
    void message(const QString&, const QString& text, Icon) override { m_err << text << Qt::endl; }
    bool ask(const QString&, const QString& text) override {
        m_err << text << Qt::endl;
        return false;
    }
    bool confirm(const QString&, const QString& text) override {
        m_err << text << Qt::endl;
        return false;
    }
    void error(const QString& text) override { m_err << text << Qt::endl; }

private:
    QTextStream& m_err;
};

} // namespace

void RequireDataFolder(const Context& ctx) {
    // A folder in the middle of an interrupted restore may lack a database until it is completed.
    if (!IsDataFolder(ctx.dataFolder) && !RestoreInterrupted(ctx.dataFolder))
        throw KqError(QStringLiteral("数据文件夹不存在或未初始化：%1（新建请用 init）")
                          .arg(QDir::toNativeSeparators(ctx.dataFolder)));
}

void OpenData(const Context& ctx) {
    RequireDataFolder(ctx);
    ClaimDataFolder(ctx.dataFolder, OwnerLock::Command);
    OpenKQDataBase(ctx.dataFolder);
}

} // namespace kq::cli

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    kq::Services().prompter = std::make_unique<kq::cli::StderrPrompter>(err);
    QStringList words = QCoreApplication::arguments();
    words.removeFirst();
    const int code = kq::cli::Run(words, out, err);
    kq::CloseKQDataBase();
    return code;
}
