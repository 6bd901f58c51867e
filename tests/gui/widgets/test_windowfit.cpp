// Every window at scale 1 (on 1280×1024) and at scale 2 (on 1920×1080): no button text, caption,
// label or column header is cut, the lists that hold names show them whole without scrolling
// sideways, and the window fits the screen's available area. The test runs itself once per
// screen, since the scale is fixed when the application starts. Tab goes through each window's
// controls in the order they are seen.
#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/tables.h"
#include "core/reports/findinfo.h"
#include "core/shell/employeeinfo.h"
#include "gui/maintenance/tfmbackup.h"
#include "gui/maintenance/tfmdelete.h"
#include "gui/maintenance/tfminform.h"
#include "gui/punch/tfmbrush.h"
#include "gui/reports/tfmfinddialog.h"
#include "gui/reports/tfmgetdatedialog.h"
#include "gui/reports/tfmmodify.h"
#include "gui/reports/tfmstat.h"
#include "gui/reports/tfmstatall.h"
#include "gui/setup/tfminputdialog.h"
#include "gui/setup/tfmsetdepartment.h"
#include "gui/setup/tfmsetleavetype.h"
#include "gui/setup/tfmsettime.h"
#include "gui/setup/tfmsystimeset.h"
#include "gui/shell/tfmabout.h"
#include "gui/shell/tfmemployee.h"
#include "gui/shell/tfmemployeedialog.h"
#include "gui/shell/tfmlogin.h"
#include "gui/shell/tfmmain.h"
#include "gui/shell/tfmsetrigth.h"
#include "gui/widgets/centeronscreen.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTableView>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace kq;

namespace {

// Set in the runs at one scale; the first run only starts them.
const char* const kScaleRun = "KQ_FIT_SCALE";

QString WithoutMnemonics(QString text) {
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    return text.replace(mnemonic, QStringLiteral("\\1"));
}

int TextWidth(const QWidget* w, const QString& text) {
    int widest = 0;
    for (const QString& line : WithoutMnemonics(text).split(QLatin1Char('\n')))
        widest = qMax(widest, w->fontMetrics().horizontalAdvance(line));
    return widest;
}

// What a window's tables must show: only their captions whole, also all their columns, or also
// every cell.
enum class Tables { Captions, Columns, Cells };

// The texts of a window's visible controls that do not fit the room they are drawn in, and the
// tables that fall short of what they must show. A label that carries its whole text as its
// tooltip may be cut.
QStringList CutTexts(QWidget* window, Tables tables) {
    QStringList cut;
    const auto check = [&](const QWidget* w, const QString& text, int room) {
        if (text.isEmpty() || TextWidth(w, text) <= room) return;
        cut << QStringLiteral("%1 \"%2\" needs %3 of %4")
                   .arg(w->objectName(), text)
                   .arg(TextWidth(w, text))
                   .arg(room);
    };
    const auto buttonRoom = [](const QAbstractButton* b, QStyle::SubElement element) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        option.icon = b->icon();
        option.iconSize = b->iconSize();
        int room = b->style()->subElementRect(element, &option, b).width();
        if (!b->icon().isNull()) room -= b->iconSize().width() + 4;
        return room;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        const int headerMargin = w->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, w);
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            check(b, b->text(), buttonRoom(b, QStyle::SE_PushButtonContents));
        } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
            check(c, c->text(), buttonRoom(c, QStyle::SE_CheckBoxContents));
        } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
            check(r, r->text(), buttonRoom(r, QStyle::SE_RadioButtonContents));
        } else if (auto* t = qobject_cast<QToolButton*>(w)) {
            if (t->toolButtonStyle() != Qt::ToolButtonIconOnly) check(t, t->text(), t->width() - 2);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            if (!l->wordWrap() && !Qt::mightBeRichText(l->text()) && l->toolTip() != l->text())
                check(l, l->text(), l->contentsRect().width() - 2 * l->margin());
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            check(g, g->title(), g->width() - 16);
        } else if (auto* h = qobject_cast<QHeaderView*>(w); h && h->orientation() == Qt::Horizontal) {
            for (int s = 0; s < h->count(); ++s)
                check(h, h->model()->headerData(s, Qt::Horizontal).toString(),
                      h->sectionSize(s) - 2 * headerMargin);
        }
        auto* table = qobject_cast<QTableView*>(w);
        if (tables == Tables::Captions || !table) continue;
        if (table->horizontalScrollBar()->maximum() > 0) cut << table->objectName() + " scrolls sideways";
        if (tables == Tables::Columns) continue;
        const int cellMargin = 2 * (w->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1);
        for (int row = 0; row < table->model()->rowCount(); ++row)
            for (int col = 0; col < table->model()->columnCount(); ++col)
                check(table, table->model()->index(row, col).data().toString(),
                      table->columnWidth(col) - cellMargin);
    }
    return cut;
}

// The controls Tab reaches, in the order Tab reaches them, and in the order a reader sees them:
// row by row from the top, left to right within a row.
bool TabStop(const QWidget* window, const QWidget* w) {
    return w != window && w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
           !w->focusProxy() && !qobject_cast<QAbstractSpinBox*>(w->parentWidget()) &&
           !qobject_cast<QComboBox*>(w->parentWidget());
}

QString Name(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

QStringList TabOrder(QWidget* window) {
    QStringList order;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (TabStop(window, w)) order << Name(w);
    return order;
}

// Reading order: a layout's items in turn (a grid's row by row), each block whole before the
// next; controls placed without a layout row by row from the top, left to right in a row.
void CollectInReadingOrder(QWidget* window, QWidget* w, QStringList& order);

void CollectLayout(QWidget* window, QLayout* layout, QStringList& order) {
    QList<QLayoutItem*> items;
    for (int i = 0; i < layout->count(); ++i)
        items << layout->itemAt(i);
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        const auto cell = [grid](QLayoutItem* item) {
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(grid->indexOf(item), &row, &column, &rowSpan, &columnSpan);
            return std::make_pair(row, column);
        };
        std::stable_sort(items.begin(), items.end(),
                         [&](QLayoutItem* a, QLayoutItem* b) { return cell(a) < cell(b); });
    }
    for (QLayoutItem* item : items) {
        if (item->widget())
            CollectInReadingOrder(window, item->widget(), order);
        else if (item->layout())
            CollectLayout(window, item->layout(), order);
    }
}

void CollectInReadingOrder(QWidget* window, QWidget* w, QStringList& order) {
    if (TabStop(window, w)) {
        order << Name(w);
        return;
    }
    if (w->layout()) {
        CollectLayout(window, w->layout(), order);
        return;
    }
    QList<QWidget*> children = w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
        // Controls whose tops lie within a few pixels of each other share a row.
        if (qAbs(a->y() - b->y()) > 6) return a->y() < b->y();
        return a->x() < b->x();
    });
    for (QWidget* child : children)
        CollectInReadingOrder(window, child, order);
}

QStringList VisualOrder(QWidget* window) {
    QStringList order;
    CollectInReadingOrder(window, window, order);
    return order;
}
// Where a window does not fit the available area of its screen, also with room for a window
// manager's title bar and borders.
QString OutsideTheScreen(const QWidget* window) {
    const QRect area = window->screen()->availableGeometry();
    const QSize framed = window->size().grownBy(FrameAllowance());
    if (area.contains(window->frameGeometry()) && framed.width() <= area.width() &&
        framed.height() <= area.height())
        return {};
    QString text;
    QDebug(&text) << window->frameGeometry() << "framed" << framed << "in" << area;
    return text;
}

// With KQ_FIT_GRABS=DIR each window's picture goes to DIR/<class>@<scale>x.png, to look at.
void Grab(QWidget* window, double scale) {
    const QString dir = qEnvironmentVariable("KQ_FIT_GRABS");
    if (!dir.isEmpty())
        window->grab().save(
            QStringLiteral("%1/%2@%3x.png").arg(dir, window->metaObject()->className()).arg(scale));
}

void Append(const QString& file, const QList<QVariantList>& rows) {
    DataSet ds;
    ds.open(DataFile(file));
    for (const QVariantList& row : rows) {
        ds.append();
        for (int f = 0; f < row.size(); ++f)
            ds.setValue(ds.fields().at(f).name, row.at(f));
        ds.post();
    }
    ds.close();
}

} // namespace

TEST(WindowFit, EveryWindowAtScale1And2) {
    if (qEnvironmentVariableIsSet(kScaleRun)) GTEST_SKIP() << "a run at one scale";
    const struct {
        const char* scale;
        int width, height;
    } runs[] = {{"1", 1280, 1024}, {"2", 1920, 1080}};
    for (const auto& run : runs) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"screens": [{"name": "fit", "x": 0, "y": 0, "width": %1, "height": %2,
                                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                       .arg(run.width)
                       .arg(run.height)
                       .toUtf8());
        file.close();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QLatin1String(run.scale));
        env.insert(QLatin1String(kScaleRun), QLatin1String(run.scale));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=WindowFitAtOneScale.*")});
        ASSERT_TRUE(child.waitForFinished(240000));
        EXPECT_EQ(child.exitCode(), 0) << "at scale " << run.scale << ":\n" << child.readAll().toStdString();
    }
}

class WindowFitAtOneScale : public test::DataFolderTest {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet(kScaleRun)) GTEST_SKIP() << "run by WindowFit at each scale";
        DataFolderTest::SetUp();
        // The longest names the fields hold.
        Append(QStringLiteral("Department.dat"), {{2, QStringLiteral("生产制造部第一车间质")}});
        Append(QStringLiteral("BlankReson.dat"), {{4, QStringLiteral("婚丧假期带薪年休假期")}});
        Append(QStringLiteral("ShiftTime.dat"), {{3, QStringLiteral("夜间加班生产线第二班组轮换值岗"),
                                                  QTime(18, 0), QTime(22, 0), true, true, true}});
        writeEmployees({{"管理员", true, "8888", 1, 0, 0, ""},
                        {"张三", false, "", 1, 1, 1, "1234567890"},
                        {"李四", false, "", 1, 2, 2, "1234567891"}});
        for (int day = 1; day <= 5; ++day)
            ExecSql("insert into WorkList (DDate, Name, T0, T1) values (?, ?, '08:00:00', '12:00:00')",
                    {QDate(2024, 3, day).toString(Qt::ISODate), QStringLiteral("张三")});
    }
};

TEST_F(WindowFitAtOneScale, EveryWindow) {
    const double scale = qEnvironmentVariable(kScaleRun).toDouble();
    ASSERT_DOUBLE_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), scale);
    TfmMain main;
    const TFindInfo find = DefaultFindInfo(Now());
    // Each window with what its tables must show.
    const Tables captions = Tables::Captions;
    const std::vector<std::pair<std::function<QWidget*()>, Tables>> windows = {
        {[&] { return new TfmLogin(LogonSignIn, &main); }, captions},
        {[&] { return new TfmLogin(LogonChangePassword, &main); }, captions},
        {[&] { return new TfmAbout(&main); }, captions},
        {[&] { return new TfmEmployee(&main); }, Tables::Columns},
        {[&] { return new TfmEmployeeDialog(TEmployeeInfo(), &main); }, captions},
        {[&] { return new TfmSetRigth(0, &main); }, captions},
        {[&] { return new TfmSetTime(&main); }, Tables::Cells},
        {[&] { return new TfmSetLeaveType(&main); }, Tables::Cells},
        {[&] { return new TfmSetDepartment(&main); }, Tables::Cells},
        {[&] {
             return new TfmInputDialog("输入部门名称", "部门名称", QString(), FieldWidth::DeptName, &main);
         },
         captions},
        {[&] { return new TfmSysTimeSet(&main); }, captions},
        {[&] { return new TfmModify(&main); }, captions},
        {[&] { return new TfmStat(&main); }, captions},
        {[&] { return new TfmFindDialog(find, &main); }, captions},
        {[&] { return new TfmStatAll(&main); }, captions},
        {[&] { return new TfmGetDateDialog(find, &main); }, captions},
        {[&] { return new TfmInform(&main); }, captions},
        {[&] { return new TfmDelete(&main); }, captions},
        {[&] { return new TfmBackup(&main); }, captions},
        {[&] { return new TfmBrush; }, captions},
    };
    main.show();
    EXPECT_EQ(CutTexts(&main, captions), QStringList());
    EXPECT_EQ(OutsideTheScreen(&main), QString());
    Grab(&main, scale);
    for (const auto& [make, tables] : windows) {
        std::unique_ptr<QWidget> window(make());
        window->show();
        QApplication::processEvents();
        const QString name = window->metaObject()->className();
        EXPECT_EQ(CutTexts(window.get(), tables), QStringList()) << name.toStdString();
        EXPECT_EQ(OutsideTheScreen(window.get()), QString()) << name.toStdString();
        EXPECT_EQ(TabOrder(window.get()), VisualOrder(window.get())) << name.toStdString();
        Grab(window.get(), scale);
        window->hide();
    }
}
