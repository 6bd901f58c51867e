#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/tables.h"
#include "core/shell/employeeinfo.h"
#include "core/shell/logon.h"
#include "core/shell/operatorinfo.h"
#include "core/shell/password.h"
#include "core/shell/rights.h"
#include "support/tempdata.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QString StoredPassword(const QString& name) {
    DataSet ds;
    ds.open(DataFile("Employee.dat"));
    return ds.locate("SName", {name}) ? ds.asString("Password") : QString("<none>");
}

const QString kAllFunctions = "0;1;2;3;4;5;6;7;8;9;10;";

} // namespace

class OperatorsTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        writeEmployees({{"Worker", false, "w", 1, 1, 0, "c1"},
                        {"", false, "", 1, 2, 0, "c2"},
                        {"管理员", true, "AbC", 1, 3, 0, ""},
                        {"Clerk", true, "pw", 4, 4, 0, ""},
                        {"Nobody", true, "x", 9, 5, 0, ""},
                        {"Long", true, "0123456789", 2, 6, 0, ""}});
    }
};

TEST_F(OperatorsTest, SignIn) {
    struct Case {
        const char* name;
        const char* password;
        bool ok;
        const char* rights;
    } cases[] = {
        {"管理员", "AbC", true, "0;1;2;3;4;5;6;7;8;9;10;"},
        {"管理员", "abc", true, "0;1;2;3;4;5;6;7;8;9;10;"}, // letter case of the password does not count
        {"clerk", "PW", true, "7;"},                        // nor that of the name
        {"Nobody", "x", true, ""},                          // a group without functions
        {"管理员", "abd", false, nullptr},
        {"Long", "0123456789X", false, nullptr}, // longer than any stored password
        {"Worker", "w", false, nullptr},         // not an operator
        {"", "", false, nullptr},                // no name picked: the empty-named employee is no operator
    };
    for (const Case& c : cases) {
        CurOperator() = {"prev", "5;", true};
        EXPECT_EQ(SignIn(c.name, c.password), c.ok) << c.name << " " << c.password;
        if (c.ok) {
            EXPECT_EQ(CurOperator().Name, c.name);
            EXPECT_EQ(CurOperator().Rigth, c.rights) << c.name;
            EXPECT_TRUE(CurOperator().IsLogon);
        } else {
            EXPECT_EQ(CurOperator().Name, "prev") << c.name;
            EXPECT_EQ(CurOperator().Rigth, "5;") << c.name;
        }
    }
}

TEST_F(OperatorsTest, SecondSignInReplacesTheRecord) {
    ASSERT_TRUE(SignIn("管理员", "abc"));
    ASSERT_TRUE(SignIn("Clerk", "pw"));
    EXPECT_EQ(CurOperator().Name, "Clerk");
    EXPECT_EQ(CurOperator().Rigth, "7;");
}

TEST_F(OperatorsTest, MissingFunctionListLeavesNoRights) {
    CurOperator() = {"prev", "5;", true};
    QFile::remove(path("FuncList.dat"));
    EXPECT_THROW(SignIn("Clerk", "pw"), KqError);
    EXPECT_EQ(CurOperator().Name, "prev");
    EXPECT_EQ(CurOperator().Rigth, "");
}

TEST_F(OperatorsTest, OperatorNamesInFileOrder) {
    EXPECT_EQ(OperatorNames(), QStringList({"管理员", "Clerk", "Nobody", "Long"}));
}

TEST_F(OperatorsTest, ChangePassword) {
    struct Case {
        const char* oldPassword;
        const char* newPassword;
        const char* confirmation;
        PasswordChange result;
        const char* stored;
    } cases[] = {
        {"wrong", "new", "new", PasswordChange::WrongPassword, "AbC"},
        {"AbC", "new", "nEw", PasswordChange::NotConfirmed, "AbC"},
        {"abc", "New", "New", PasswordChange::Changed, "New"},
        {"new", "长密码一二三", "长密码一二三", PasswordChange::TooLong, "New"}, // 12 bytes: never cut
        {"new", "长密码一二", "长密码一二", PasswordChange::Changed, "长密码一二"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChangePassword("管理员", c.oldPassword, c.newPassword, c.confirmation), c.result)
            << c.newPassword;
        const QString stored = StoredPassword("管理员");
        EXPECT_TRUE(VerifyPassword(stored, c.stored)) << c.newPassword;
        EXPECT_EQ(IsPasswordHash(stored), QString(c.stored) != "AbC") << c.newPassword; // clear until changed
    }
    EXPECT_EQ(StoredPassword("Clerk"), "pw");
}

TEST_F(OperatorsTest, ClearPasswordIsReplacedByItsHashAtSignIn) {
    // A file of an older version: clear passwords in a field 10 bytes wide.
    QList<FieldDef> old = EmployeeFields();
    old[2].width = 10;
    DataSet::writeFile(path("Employee.dat"), old,
                       {{"管理员", true, "8888AbC", 1, 1, 0, ""}, {"Clerk", true, "pw", 4, 2, 0, ""}});
    ASSERT_FALSE(SignIn("管理员", "8888abd"));
    EXPECT_EQ(StoredPassword("管理员"), "8888AbC"); // a failed sign-in writes nothing

    ASSERT_TRUE(SignIn("管理员", "8888abc"));
    const QString hash = StoredPassword("管理员");
    EXPECT_TRUE(IsPasswordHash(hash)) << hash.toStdString();
    EXPECT_FALSE(hash.contains("8888", Qt::CaseInsensitive));
    EXPECT_EQ(StoredPassword("Clerk"), "pw"); // only the operator who signed in

    struct Case {
        const char* password;
        bool ok;
    } cases[] = {{"8888AbC", true}, {"8888ABC", true}, {"8888abd", false}, {"8888AbC ", false}, {"", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(SignIn("管理员", c.password), c.ok) << c.password;
        EXPECT_EQ(StoredPassword("管理员"), hash) << c.password; // a hash is never rewritten
    }
    DataSet ds;
    ds.open(DataFile("Employee.dat"));
    EXPECT_GE(ds.fields().at(ds.fieldIndex("Password")).width, hash.size()); // widened, never cut
}

TEST(PasswordHash, SaltedAndCaseFolded) {
    const QString a = HashPassword("Pa55wörD"), b = HashPassword("Pa55wörD");
    EXPECT_NE(a, b); // a fresh salt each time
    for (const QString& hash : {a, b}) {
        EXPECT_TRUE(IsPasswordHash(hash));
        EXPECT_TRUE(VerifyPassword(hash, "pA55WÖRd"));
        EXPECT_FALSE(VerifyPassword(hash, "Pa55word"));
        EXPECT_FALSE(VerifyPassword(hash, hash)); // the hash itself is no password
    }
    EXPECT_EQ(HashPassword(""), ""); // no password set
    // A value typed into a 10-byte box is a clear password, whatever it starts with.
    EXPECT_FALSE(IsPasswordHash("$argon2id$"));
    EXPECT_TRUE(VerifyPassword("$ARGON2ID$", "$argon2id$"));
}

TEST_F(OperatorsTest, GroupFunctionsAreReplacedOnlyForTheirGroup) {
    EXPECT_EQ(RightsText(1), kAllFunctions);
    EXPECT_EQ(RightsText(2), "1;2;4;7;8;9;");
    EXPECT_EQ(RightsText(0), "");
    SetGroupFunctions(2, {0, 5});
    EXPECT_EQ(GroupFunctions(2), QList<int>({0, 5}));
    EXPECT_EQ(RightsText(1), kAllFunctions);
    EXPECT_EQ(RightsText(3), "5;6;7;8;10;");
    SetGroupFunctions(3, {});
    EXPECT_EQ(RightsText(3), "");
    EXPECT_EQ(RightsText(2), "0;5;");
    DataSet ds;
    ds.open(DataFile("FuncList.dat"));
    EXPECT_EQ(ds.recordCount(), 11 + 2 + 1);
}

TEST_F(OperatorsTest, GroupsInSerialOrder) {
    DataSet::writeFile(path("RigthTable.dat"),
                       {{"SerialNo", FieldType::Integer}, {"Name", FieldType::String, 20}},
                       {{2, "乙"}, {3, "丙"}, {1, "甲"}});
    EXPECT_EQ(RightsGroupNames(), QStringList({"甲", "乙", "丙"}));
    EXPECT_EQ(FunctionNames().size(), 11);
    EXPECT_EQ(FunctionNames().at(FuncDelete), "数据删除");
}

TEST(EmployeeCalcFields, TableOfCases) {
    const QStringList groups = {"系统管理员", "普通员工"};
    const QStringList depts = {"办公室", "车间"};
    struct Case {
        int dept;
        bool isOperator;
        const char* password;
        int rigth;
        EmployeeCalcFields expected;
    } cases[] = {
        {2, true, "123456", 1, {"车间", "√", "******", "系统管理员"}},
        {0, false, "", 0, {"", "", "", ""}},
        {3, false, "密码", 3, {"", "", "******", ""}}, // beyond the lists; the stars never tell a length
        {-1,
         false,
         "$argon2id$v=19$m=65536,t=2,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNoaGFzaA",
         2,
         {"", "", "******", "普通员工"}},
    };
    for (const Case& c : cases) {
        TEmployeeInfo e;
        e.Dept = c.dept;
        e.IsOperator = c.isOperator;
        e.Password = c.password;
        e.Rigth = c.rigth;
        const EmployeeCalcFields f = CalcEmployeeFields(e, groups, depts);
        EXPECT_EQ(f.cDept, c.expected.cDept) << c.dept;
        EXPECT_EQ(f.cIsOperator, c.expected.cIsOperator);
        EXPECT_EQ(f.cPwd, c.expected.cPwd) << c.password;
        EXPECT_EQ(f.cRigth, c.expected.cRigth) << c.rigth;
    }
}

TEST(ParseWorkNo, TableOfCases) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {{"", 0},
                 {"   ", 0},
                 {"42", 42},
                 {"  -7", -7},
                 {"+8", 8},
                 {"12 ", 12},
                 {"abc", {}}, // text that is no number is refused, never stored as 0
                 {"12a", {}},
                 {"１２３", 123}, // full-width digits, as a Chinese input method types them
                 {"\u3000４５\u3000", 45},
                 {"－７", -7},
                 {"１２．５", {}},
                 {"①", {}},
                 {"\u0661\u0662", {}}, // other scripts' digits are no work number
                 {"12.5", {}},
                 {"1e3", {}},
                 {"3.0", {}},
                 {"99999999999", {}},
                 {"2147483647", 2147483647}};
    for (const Case& c : cases)
        EXPECT_EQ(ParseWorkNo(c.text), c.value) << c.text;
}
