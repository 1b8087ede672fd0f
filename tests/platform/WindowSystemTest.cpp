// The window system under the framework: the display check, the application
// object and the process locale, fonts, and the helpers of the prompt.
#include "TestDialogs.h"

#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/Prompt.h"
#include "platform/Runtime.h"
#include "platform/WindowSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Sets or clears environment variables for the life of the object.
class CEnvironment {
public:
    ~CEnvironment()
    {
        for (const auto& [name, value] : m_Saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    void Set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_Saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_Saved;
};

TEST(CWindowSystemTest, DisplayIsAvailableWhenAVariableIsSetAndTheXDisplayAnswers)
{
    // ":4711" names an X display nobody runs here: where Qt would use the X
    // platform it is tried, and refused, instead of Qt aborting later.
    const std::string none = "no display available: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen";
    const std::string unreachable =
        "cannot open the X display \":4711\": start an X server there, or set QT_QPA_PLATFORM=offscreen";
    struct Row { const char* display; const char* wayland; const char* platform; BOOL available; std::string message; };
    const Row rows[] = {
        {nullptr, nullptr, nullptr, FALSE, none},   {"", "", "", FALSE, none},
        {":4711", nullptr, nullptr, FALSE, unreachable}, {":4711", nullptr, "xcb", FALSE, unreachable},
        {":4711", "", "", FALSE, unreachable},      {nullptr, "wayland-0", nullptr, TRUE, ""},
        {":4711", "wayland-0", nullptr, TRUE, ""},  {nullptr, nullptr, "offscreen", TRUE, ""},
        {":4711", nullptr, "offscreen", TRUE, ""},
    };
    for (const Row& r : rows) {
        CEnvironment env;
        env.Set("DISPLAY", r.display);
        env.Set("WAYLAND_DISPLAY", r.wayland);
        env.Set("QT_QPA_PLATFORM", r.platform);
        CString message = "untouched";
        EXPECT_EQ(r.available, CWindowSystem::IsDisplayAvailable(&message)) << (r.display ? r.display : "-");
        EXPECT_EQ(r.available ? "untouched" : r.message, message.Std());
        EXPECT_EQ(-1, message.Find('\n'));
        EXPECT_EQ(r.available, CWindowSystem::IsDisplayAvailable());
    }
}

// In a fresh process: with no display nothing starts and nothing aborts; a
// dialog fails to run and a message goes to the standard error stream.
TEST(CWindowSystemDeathTest, WithoutDisplayDialogsFailCleanly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("QT_QPA_PLATFORM");
            dlgtest::CTestDialogResources resources;
            dlgtest::CTestDlg dlg;
            const bool ok = !CWindowSystem::EnsureApplication() && dlg.DoModal() == -1 &&
                            AfxMessageBox("Nothing to show it on.") == 0;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "Nothing to show it on.");
}

// In a fresh process: the application object takes the locale from the
// environment, except for how numbers are written and read.
TEST(CWindowSystemDeathTest, StartingTheApplicationKeepsTheNumericLocale)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("LC_ALL", "C.UTF-8", 1);
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const bool started = CWindowSystem::EnsureApplication() != FALSE;
            const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
            const std::string ctype = std::setlocale(LC_CTYPE, nullptr);
            char text[16];
            std::snprintf(text, sizeof text, "%.1f", 1.5);
            double value = 0;
            const bool ok = started && numeric == "C" && ctype == "C.UTF-8" && std::strcmp(text, "1.5") == 0 &&
                            std::strtod("2.5", nullptr) == 2.5 && sscanf_s("3.25", "%lf", &value) == 1 &&
                            value == 3.25 && CWindowSystem::EnsureApplication();
            if (!ok)
                std::fprintf(stderr, "numeric %s ctype %s text %s\n", numeric.c_str(), ctype.c_str(), text);
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(CWindowSystemTest, MissingDialogFacesFallBackToAnInstalledFamily)
{
    ASSERT_TRUE(CWindowSystem::EnsureApplication());
    const CString fallback = CWindowSystem::ResolveFontFamily("MS Sans Serif");
    EXPECT_EQ("DejaVu Sans", fallback.Std());  // installed by the setup script
    for (const char* face : {"MS Shell Dlg", "Microsoft Sans Serif", "No Such Face", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(fallback.Std(), CWindowSystem::ResolveFontFamily(face).Std()) << (face ? face : "null");
    EXPECT_EQ("DejaVu Serif", CWindowSystem::ResolveFontFamily("DejaVu Serif").Std());
}

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndReportsFailures)
{
    struct Row { int number, numerator, denominator, result; };
    const Row rows[] = {
        {324, 7, 4, 567}, {290, 13, 8, 471}, {10, 7, 4, 18}, {-10, 7, 4, -18}, {3, 1, 2, 2},
        {-3, 1, 2, -2},   {5, -1, 2, -3},    {7, 3, -2, -11}, {0, 5, 3, 0},    {1, 1, 0, -1},
        {INT_MAX, 2, 1, -1}, {INT_MAX, 2, 2, INT_MAX}, {INT_MIN, 1, 1, INT_MIN}, {INT_MIN, -1, 1, -1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.result, MulDiv(r.number, r.numerator, r.denominator))
            << r.number << " * " << r.numerator << " / " << r.denominator;
}

TEST(CPromptTest, FiltersBecomeQtFilters)
{
    struct Row { const char* filter; const char* qt; };
    const Row rows[] = {
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", "Text Files (*.txt);;All Files (*)"},
        {"Points (*.txt;*.dat)|*.txt;*.dat||", "Points (*.txt *.dat)"},
        {"Data|*.dat|", "Data (*.dat)"},
        {"|*.csv||", "*.csv (*.csv)"},
        {"Anything||", "Anything (*)"},
        {"Unpaired|", "Unpaired (*)"},
        {"Lonely", ""},
        {"", ""},
        {nullptr, ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.qt, CPrompt::ToQtFilter(r.filter).Std()) << (r.filter ? r.filter : "null");
}

// The window system's prompt: Qt's message box with the buttons, icon and
// default the type asks for, answered here by a click once it shows.
TEST(CPromptTest, WindowSystemMessageBoxAnswersWithTheButtonChosen)
{
    ASSERT_TRUE(CWindowSystem::EnsureApplication());
    using B = QMessageBox;
    struct Row {
        UINT type;
        B::StandardButtons buttons;
        B::StandardButton defaultButton;
        B::Icon icon;
        B::StandardButton click;
        int result;
    };
    const Row rows[] = {
        {MB_OK, B::Ok, B::Ok, B::Warning, B::Ok, IDOK},
        {MB_OKCANCEL | MB_ICONINFORMATION, B::Ok | B::Cancel, B::Ok, B::Information, B::Cancel, IDCANCEL},
        {MB_YESNO, B::Yes | B::No, B::Yes, B::Question, B::No, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONHAND, B::Yes | B::No | B::Cancel, B::No, B::Critical, B::Yes, IDYES},
        {MB_RETRYCANCEL | MB_DEFBUTTON3, B::Retry | B::Cancel, B::Retry, B::Warning, B::Retry, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION, B::Abort | B::Retry | B::Ignore, B::Abort, B::Warning, B::Ignore,
         IDIGNORE},
    };
    CPrompt& prompt = CPrompt::Get();
    for (const Row& r : rows) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = box->text() == QStringLiteral("Go on?") && box->windowTitle() == QStringLiteral("Caption") &&
                   box->standardButtons() == r.buttons && static_cast<QAbstractButton*>(box->defaultButton()) == box->button(r.defaultButton) &&
                   box->icon() == r.icon;
            box->button(r.click)->click();
        });
        EXPECT_EQ(r.result, prompt.MessageBox(nullptr, "Go on?", "Caption", r.type, 0)) << r.type;
        EXPECT_TRUE(seen) << r.type;
    }
}

TEST(CPromptTest, WindowSystemFileChoiceReturnsThePathOrCancel)
{
    ASSERT_TRUE(CWindowSystem::EnsureApplication());
    const std::string file = std::string(VELKOR_BUILD_DIR) + "/prompt-test-points.txt";
    std::ofstream(file) << "0 0 0\n";
    CPrompt::CFileRequest request;
    request.m_strFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.m_nFilterIndex = 2;
    request.m_dwFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    request.m_strInitialPath = VELKOR_BUILD_DIR;
    for (const bool accept : {true, false}) {
        QStringList filters;
        QString selectedFilter;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            filters = dialog->nameFilters();
            selectedFilter = dialog->selectedNameFilter();
            mode = dialog->fileMode();
            if (accept) {
                dialog->selectFile(QString::fromStdString(file));
                QMetaObject::invokeMethod(dialog, "accept");
            } else {
                dialog->reject();
            }
        });
        CString path = "untouched";
        EXPECT_EQ(accept ? TRUE : FALSE, CPrompt::Get().ChooseFileToOpen(nullptr, request, path));
        EXPECT_EQ(accept ? file : "untouched", path.Std());
        EXPECT_EQ((QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")}), filters);
        EXPECT_EQ(QStringLiteral("All Files (*)"), selectedFilter);
        EXPECT_EQ(QFileDialog::ExistingFile, mode);
    }
    std::remove(file.c_str());
}

// Without a window manager nobody activates the window below a closed
// message box or file dialog: the prompt gives the focus back to the
// control that had it, so that the keyboard goes on where it was.
TEST(CPromptTest, TheFocusGoesBackWhereItWasWhenABoxOrFileDialogCloses)
{
    ASSERT_TRUE(CWindowSystem::EnsureApplication());
    QWidget window;
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    second->move(0, 40);
    window.show();
    window.activateWindow();
    second->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(second, QApplication::focusWidget());
    (void)first;
    const std::function<void()> closers[] = {
        [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        },
        [] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        },
    };
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, closers[i]);
        CString path;
        if (i == 0)
            CPrompt::Get().MessageBox(nullptr, "Go on?", "Caption", MB_OK, 0);
        else
            CPrompt::Get().ChooseFileToOpen(nullptr, CPrompt::CFileRequest(), path);
        QCoreApplication::processEvents();
        EXPECT_EQ(&window, QApplication::activeWindow()) << i;
        EXPECT_EQ(second, QApplication::focusWidget()) << i;
    }
}

TEST(CPromptTest, InstallReturnsThePreviousPrompt)
{
    CPrompt& windowSystem = CPrompt::Get();
    {
        CPrompt first, second;
        EXPECT_EQ(nullptr, CPrompt::Install(&first));
        EXPECT_EQ(&first, &CPrompt::Get());
        EXPECT_EQ(&first, CPrompt::Install(&second));
        EXPECT_EQ(&second, &CPrompt::Get());
    }
    // A prompt that goes away uninstalls itself.
    EXPECT_EQ(&windowSystem, &CPrompt::Get());
}

}  // namespace
