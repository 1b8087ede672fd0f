// The editor as a host and its user meet it: a whole editing session with
// the keyboard and the mouse, and the export EditMotionSequence of the
// loaded module (dlopen), with OK, Cancel and no display.
#include "EditorTestUtil.h"

#include "kernel/ModuleExports.h"

#include <dlfcn.h>

#include <cstdlib>
#include <optional>

namespace {

using namespace edtest;
using namespace module_exports;

const char* const kModulePath = VELKOR_BIN_DIR "/Velkor.so";

class CModule {
public:
    CModule() : m_pHandle(dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL)) {}
    ~CModule()
    {
        if (m_pHandle)
            dlclose(m_pHandle);
    }
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;
    bool IsLoaded() const { return m_pHandle != nullptr; }
    template <typename Fn>
    Fn Get(const char* name) const
    {
        return reinterpret_cast<Fn>(dlsym(m_pHandle, name));
    }

private:
    void* m_pHandle;
};

class EditorSessionTest : public EditorTest {
protected:
    void SetUp() override { ASSERT_TRUE(m_Module.IsLoaded()) << dlerror(); }
    CModule m_Module;
};

TEST_F(EditorSessionTest, AUserBuildsChangesAndSavesAMotion)
{
    // A new motion: the default text, one point, in s, rot and rpm.
    m_Module.Get<GetDefaultParametersFn>(kGetDefaultParameters)(m_Setup, m_Motion, m_Params);
    const INT_PTR result = Run(m_Params, [&](CEditorDlg& d) {
        // Four points with the keyboard alone.
        ASSERT_EQ(E::IDC_HOST_ADDRESS_CHECK, FocusId());
        Key(Qt::Key_Tab);
        Key(Qt::Key_Tab);
        ASSERT_EQ(E::IDC_POSITION, FocusId());
        EnterPoint("1", "300", "0.1");
        EnterPoint("3", "600", "0.25");
        EnterPoint("5", "300", "0.4");
        EnterPoint("6", "0", "0.5");
        EXPECT_EQ(4, d.GetCurrentPoint());
        EXPECT_EQ(E::IDC_POSITION, FocusId());
        // Times in milliseconds from now on.
        ChooseUnit(d, E::IDC_TIME_UNIT, "ms");
        EXPECT_EQ("500", TextOf(d, E::IDC_TIME));
        // Point 2 changed with the mouse.
        Click(Item(d, E::IDC_PREVIOUS));
        Click(Item(d, E::IDC_PREVIOUS));
        EXPECT_EQ("250", TextOf(d, E::IDC_TIME));
        TypePoint(d, "3.5", "450", "260");
        Click(Item(d, E::IDC_UPDATE));
        // Point 3 removed.
        Click(Item(d, E::IDC_NEXT));
        EXPECT_EQ("400", TextOf(d, E::IDC_TIME));
        Click(Item(d, E::IDC_REMOVE));
        EXPECT_EQ("500", TextOf(d, E::IDC_TIME));  // the point after it is selected
        Click(Item(d, IDOK));
    });
    ASSERT_EQ(IDOK, result);
    EXPECT_TRUE(m_Prompt.m_Messages.empty());
    EXPECT_EQ("ClearBuffer = 1\n"
              "StartPoint = 0\n"
              "ATIME.unit = ms\n"
              "ATIME = 0, 100, 260, 500\n"
              "TPOS.unit = rot\n"
              "TPOS = 0, 2000, 7000, 12000\n"
              "TSPD.unit = rpm\n"
              "TSPD = 0, 10, 15, 0\n"
              "Execute = 0\n"
              "WaitForCompletion = 1\n",
              m_Params.Std());

    CString code;
    ASSERT_EQ(1, m_Module.Get<TranslateMotionSequenceFn>(kTranslateMotionSequence)(m_Setup, m_Motion, m_Params,
                                                                                    code))
        << code.Std();
    EXPECT_EQ("  SETPVT 0xCF00; //Clear PVT buffer\r\n"
              "  MODE PVT; // Set PVT Mode\r\n"
              "  TUM1;//Start from actual value of position reference\r\n"
              "  CPR;\r\n"
              "  PVTP 2000L, 10, 100U, 0;//PVT(1[rot], 300[rpm], 100[ms])\r\n"
              "  UPD; //Execute immediate\r\n"
              "  PVTP 5000L, 15, 160U, 0;//PVT(3.5[rot], 450[rpm], 260[ms])\r\n"
              "  PVTP 5000L, 0, 240U, 0;//PVT(6[rot], 0[rpm], 500[ms])\r\n"
              "  !MC; WAIT!; //wait for completion\r\n",
              code.Std());
}

// EditMotionSequence of the loaded module on `text`; `action` drives the
// dialog it opens.
struct SEditResult {
    int result;
    std::string params;
};

TEST_F(EditorSessionTest, TheExportWritesOnOkAndLeavesTheTextOnCancel)
{
    const auto edit = m_Module.Get<EditMotionSequenceFn>(kEditMotionSequence);
    ASSERT_NE(nullptr, edit);
    const std::string text = ReadFile(kMultiPoint);
    const auto run = [&](const std::function<void(CDialog*)>& action) {
        CString params(text.c_str());
        m_Prompt.OnNextModal(action);
        const int result = edit(m_Setup, m_Motion, params);
        return SEditResult{result, params.Std()};
    };

    // OK: the record as edited, in the record's own form.
    SEditResult ok = run([](CDialog* d) {
        EXPECT_EQ(CEditorDlg::IDD, d->GetTemplateID());
        Click(d->GetDlgItem(E::IDC_CLEAR_BUFFER));
        Click(d->GetDlgItem(E::IDC_HOST_ADDRESS_CHECK));
        Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(1, ok.result);
    EXPECT_EQ("ClearBuffer = 0\n"
              "StartPoint = 0\n"
              "ATIME.unit = ms\n"
              "ATIME = 0, 100, 250, 400, 500\n"
              "TPOS.unit = rot\n"
              "TPOS = 0, 2000, 8000, 14000, 16000\n"
              "TSPD.unit = rpm\n"
              "TSPD = 0, 30, 40, 30, 0\n"
              "Execute = 0\n"
              "WaitForCompletion = 1\n",
              ok.params);

    // Cancel, after changes: untouched.
    for (const auto& cancel : std::vector<std::function<void(CDialog*)>>{
             [](CDialog* d) {
                 Click(d->GetDlgItem(E::IDC_CLEAR_BUFFER));
                 Key(Qt::Key_Escape);
             },
             [](CDialog* d) {
                 Click(d->GetDlgItem(E::IDC_NEXT));
                 Click(d->GetDlgItem(E::IDC_REMOVE));
                 Click(d->GetDlgItem(IDCANCEL));
             },
         }) {
        const SEditResult cancelled = run(cancel);
        EXPECT_EQ(0, cancelled.result);
        EXPECT_EQ(text, cancelled.params);
    }

    // A table that fails validation: OK only shows the message.
    m_Prompt.m_Messages.clear();
    CString one("ATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\n");
    m_Prompt.OnNextModal([](CDialog* d) {
        Click(d->GetDlgItem(IDOK));
        EXPECT_TRUE(d->GetWidget()->isVisible());
        Click(d->GetDlgItem(IDCANCEL));
    });
    EXPECT_EQ(0, edit(m_Setup, m_Motion, one));
    EXPECT_EQ("ATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\n", one.Std());
    EXPECT_EQ(std::vector<std::string>{"Invalid number of points. You should have at least 2 points."}, Messages());
    EXPECT_EQ(0, m_Prompt.m_nUnscriptedModals);
}

TEST_F(EditorSessionTest, WithoutADisplayTheExportShowsNothingAndChangesNothing)
{
    const auto edit = m_Module.Get<EditMotionSequenceFn>(kEditMotionSequence);
    ASSERT_NE(nullptr, edit);
    const char* const names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        unsetenv(name);
    }
    const std::string text = ReadFile(kMultiPoint);
    CString params(text.c_str());
    const int result = edit(m_Setup, m_Motion, params);
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i])
            setenv(names[i], saved[i]->c_str(), 1);
    EXPECT_EQ(0, result);
    EXPECT_EQ(text, params.Std());
    EXPECT_TRUE(m_Prompt.m_ModalTemplates.empty());
    EXPECT_TRUE(m_Prompt.m_Messages.empty());
}

}  // namespace
