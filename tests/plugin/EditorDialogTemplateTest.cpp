// The editor's dialog template 214 as the loaded module registers it, and a
// plain dialog built on it: every control where its dialog units put it,
// with its kind, caption and style, in tab order, and a picture of it.
#include "tests/TestUtil.h"
#include "tests/platform/DialogTestUtil.h"
#include "tests/platform/ScriptedPrompt.h"

#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"
#include "platform/MessageBox.h"
#include "platform/ModuleResources.h"
#include "platform/ResourceRegistry.h"
#include "platform/Runtime.h"
#include "platform/WindowStyles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace {

using namespace dlgtest;

const char* const kModulePath = VELKOR_BIN_DIR "/Velkor.so";
constexpr UINT kEditorDialog = 214;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const bool s_bOffscreen = testutil::UseOffscreenPlatform();

struct Row {
    int id;
    CDialogItem::EKind kind;
    const char* caption;
    int x, y, cx, cy;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
};

using K = CDialogItem;
constexpr DWORD kEditStyle = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kComboStyle = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// The editor's controls, in template order.
const std::vector<Row> kControls = {
    {1507, K::CheckBox, "Host address =", 20, 4, 63, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1508, K::EditBox, "", 85, 2, 25, 14, kEditStyle, 0},
    {1509, K::CheckBox, "Clear PVT Buffer", 126, 4, 69, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {-1, K::StaticText, "Position", 32, 20, 26, 8, SS_RIGHT | WS_GROUP, 0},
    {1010, K::EditBox, "", 61, 17, 60, 14, kEditStyle, 0},
    {1018, K::ComboList, "", 126, 18, 55, 66, kComboStyle, 0},
    {-1, K::StaticText, "Velocity", 32, 35, 26, 8, SS_RIGHT | WS_GROUP, 0},
    {1022, K::EditBox, "", 61, 32, 60, 14, kEditStyle, 0},
    {1021, K::ComboList, "", 126, 33, 55, 66, kComboStyle, 0},
    {-1, K::StaticText, "Time", 42, 50, 16, 8, SS_RIGHT | WS_GROUP, 0},
    {1009, K::EditBox, "", 61, 47, 60, 14, kEditStyle, 0},
    {1017, K::ComboList, "", 126, 48, 55, 66, kComboStyle, 0},
    {1013, K::PushButton, "&<<", 62, 64, 50, 14, WS_TABSTOP, 0},
    {1014, K::PushButton, ">&>", 117, 64, 50, 14, WS_TABSTOP, 0},
    {1000, K::PushButton, "&Remove", 37, 81, 50, 14, WS_TABSTOP, 0},
    {1001, K::PushButton, "&Update", 93, 81, 50, 14, WS_TABSTOP, 0},
    {1002, K::PushButton, "&Insert", 149, 81, 50, 14, WS_TABSTOP, 0},
    {1015, K::StaticText, "Values relative to starting point of PVT", 43, 96, 121, 8, SS_LEFT | WS_GROUP, 0},
    {-1, K::GroupBox, "Execute", 207, 3, 115, 104, BS_GROUPBOX, 0},
    {1011, K::RadioButton, "&Immediate", 211, 16, 46, 10, BS_AUTORADIOBUTTON | WS_GROUP, 0},
    {1012, K::RadioButton, "&On event", 211, 44, 45, 10, BS_AUTORADIOBUTTON, 0},
    {1023, K::CheckBox, "Then wait until motion is completed", 259, 10, 60, 23,
     BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, 0},
    {1503, K::PushButton, "Change Event", 257, 36, 60, 12, WS_TABSTOP, 0},
    {1504, K::PushButton, "Edit Event", 257, 50, 60, 12, WS_TABSTOP, 0},
    {1505, K::EditBox, "", 211, 67, 106, 38, WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_WANTRETURN,
     0},
    {1016, K::StaticText, "Static", 7, 108, 238, 129, SS_CENTER | SS_CENTERIMAGE | WS_GROUP, WS_EX_CLIENTEDGE},
    {1003, K::PushButton, "I&mport From File", 251, 165, 66, 14, WS_TABSTOP, 0},
    {1019, K::RadioButton, "Generate new trajectory starting from actual values of position and speed reference", 16,
     240, 290, 10, BS_AUTORADIOBUTTON | WS_GROUP, 0},
    {1020, K::RadioButton, "Generate new trajectory starting from actual values of load/motor position and speed", 16,
     254, 290, 10, BS_AUTORADIOBUTTON, 0},
    {1, K::PushButton, "OK", 78, 270, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {2, K::PushButton, "Cancel", 144, 270, 50, 14, WS_TABSTOP, 0},
    {57671, K::PushButton, "Help", 210, 270, 50, 14, WS_TABSTOP, 0},
};

// Whether the ink of a caption of several lines, centred vertically as a
// check box centres it, stays inside a control `height` pixels high.
bool InkFitsHeight(const QString& text, const QFontMetrics& metrics, int height)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const int lineSpacing = metrics.lineSpacing();
    const int top = (height - static_cast<int>(lines.size()) * lineSpacing) / 2;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRect ink = metrics.tightBoundingRect(lines[i]);
        const int baseline = top + static_cast<int>(i) * lineSpacing + metrics.ascent();
        if (baseline + ink.top() < 0 || baseline + ink.bottom() >= height)
            return false;
    }
    return true;
}

// A plain dialog on template 214 that records the commands of its controls.
class CPlainEditorDlg : public CDialog {
public:
    CPlainEditorDlg() : CDialog(kEditorDialog) {}
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        if (HIWORD(wParam) == BN_CLICKED)
            m_Clicks.push_back(LOWORD(wParam));
        return FALSE;
    }
    std::vector<int> m_Clicks;
};

class EditorDialogTemplateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pModule = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_pModule, nullptr) << dlerror();
        m_pTemplate = CResourceRegistry::Instance().FindDialog(kEditorDialog);
        ASSERT_NE(nullptr, m_pTemplate);
    }
    void TearDown() override
    {
        if (m_pModule)
            dlclose(m_pModule);
    }

    void* m_pModule = nullptr;
    const CDialogTemplate* m_pTemplate = nullptr;
    CScriptedPrompt m_Prompt;
};

TEST_F(EditorDialogTemplateTest, TemplateIsTheEditorsLayout)
{
    const CDialogTemplate& t = *m_pTemplate;
    EXPECT_EQ(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CONTEXTHELP, t.m_dwStyle);
    EXPECT_EQ(0u, t.m_dwExStyle);
    EXPECT_EQ(324, t.m_cx);
    EXPECT_EQ(290, t.m_cy);
    EXPECT_EQ("Motion - PVT", t.m_strCaption.Std());
    EXPECT_EQ("MS Sans Serif", t.m_strFontFace.Std());
    EXPECT_EQ(8, t.m_nPointSize);
    ASSERT_EQ(kControls.size(), t.m_Items.size());
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Row& r = kControls[i];
        const CDialogItem& item = t.m_Items[i];
        EXPECT_EQ(r.id, item.m_nID) << i;
        EXPECT_EQ(r.kind, item.GetKind()) << r.id;
        EXPECT_EQ(r.caption, item.m_strText.Std()) << r.id;
        EXPECT_EQ((std::vector<int>{r.x, r.y, r.cx, r.cy}),
                  (std::vector<int>{item.m_x, item.m_y, item.m_cx, item.m_cy}))
            << r.id;
        EXPECT_EQ(kChild | r.style, item.m_dwStyle) << r.id;
        EXPECT_EQ(r.exStyle, item.m_dwExStyle) << r.id;
    }
    // The template goes with the module.
    dlclose(m_pModule);
    m_pModule = nullptr;
    EXPECT_EQ(nullptr, CResourceRegistry::Instance().FindDialog(kEditorDialog));
}

TEST_F(EditorDialogTemplateTest, ControlsSitWhereTheirDialogUnitsPutThemInTheFallbackFont)
{
    CDialog dlg(kEditorDialog);
    ASSERT_TRUE(dlg.Create());
    // "MS Sans Serif" is not installed: DejaVu Sans 8 point, 7 x 13 pixels.
    EXPECT_EQ("DejaVu Sans", dlg.GetFontFamily().Std());
    const int bx = dlg.GetBaseUnitX(), by = dlg.GetBaseUnitY();
    EXPECT_EQ(7, bx);
    EXPECT_EQ(13, by);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(CRect(0, 0, 567, 471), client);
    EXPECT_EQ("Motion - PVT", Text(&dlg));

    for (const Row& r : kControls) {
        if (r.id == -1)
            continue;  // found by id: the statics without one are checked below
        const CWnd* control = dlg.GetDlgItem(r.id);
        ASSERT_NE(nullptr, control) << r.id;
        CRect rect;
        control->GetWindowRect(&rect);
        dlg.ScreenToClient(&rect);
        const int left = MulDiv(r.x, bx, 4), top = MulDiv(r.y, by, 8);
        // A combo box's template height includes its dropped-down list.
        const int height = r.kind == K::ComboList ? by + 8 : MulDiv(r.cy, by, 8);
        EXPECT_EQ(CRect(left, top, left + MulDiv(r.cx, bx, 4), top + height), rect) << r.id;
        EXPECT_EQ(r.caption, Text(control)) << r.id;
        EXPECT_TRUE(control->IsWindowVisible()) << r.id;
        EXPECT_TRUE(control->IsWindowEnabled()) << r.id;
    }
    // Every control, the statics without an id included, in template order.
    std::vector<QRect> geometries;
    for (QObject* child : dlg.GetWidget()->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && CWnd::HandleOf(w))
            geometries.push_back(w->geometry());
    ASSERT_EQ(kControls.size(), geometries.size());
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Row& r = kControls[i];
        EXPECT_EQ(QPoint(MulDiv(r.x, bx, 4), MulDiv(r.y, by, 8)), geometries[i].topLeft()) << i;
        EXPECT_EQ(MulDiv(r.cx, bx, 4), geometries[i].width()) << i;
    }
}

TEST_F(EditorDialogTemplateTest, ControlsAreOfTheirKindAndShowTheirWholeCaptions)
{
    CDialog dlg(kEditorDialog);
    ASSERT_TRUE(dlg.Create());
    std::vector<QWidget*> widgets;
    for (QObject* child : dlg.GetWidget()->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && CWnd::HandleOf(w))
            widgets.push_back(w);
    ASSERT_EQ(kControls.size(), widgets.size());
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Row& r = kControls[i];
        QWidget* w = widgets[i];
        const QFontMetrics metrics = w->fontMetrics();
        const QString shown = QString::fromUtf8(r.caption).remove(QLatin1Char('&'));
        switch (r.kind) {
        case K::CheckBox:
        case K::RadioButton: {
            auto* button = qobject_cast<QAbstractButton*>(w);
            ASSERT_NE(nullptr, button) << r.id;
            const bool check = r.kind == K::CheckBox;
            EXPECT_EQ(check, qobject_cast<QCheckBox*>(w) != nullptr) << r.id;
            QStyle* style = w->style();
            const int indicator =
                style->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                style->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing,
                                   nullptr, w);
            const QStringList lines = button->text().remove(QLatin1Char('&')).split(QLatin1Char('\n'));
            for (const QString& line : lines)
                EXPECT_LE(indicator + metrics.horizontalAdvance(line), w->width()) << r.id << ": caption clipped";
            EXPECT_TRUE(InkFitsHeight(button->text().remove(QLatin1Char('&')), metrics, w->height())) << r.id;
            // Only 1023 has a multi-line caption: three lines in its 60 x 23 units.
            EXPECT_EQ(r.id == 1023 ? 3 : 1, lines.size()) << r.id;
            EXPECT_EQ(shown, lines.join(QLatin1Char(' '))) << r.id;
            break;
        }
        case K::PushButton: {
            auto* button = qobject_cast<QPushButton*>(w);
            ASSERT_NE(nullptr, button) << r.id;
            const int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
            EXPECT_LE(metrics.horizontalAdvance(shown) + 2 * margin, w->width()) << r.id;
            EXPECT_EQ(r.id == IDOK, button->isDefault()) << r.id;
            break;
        }
        case K::StaticText: {
            auto* label = qobject_cast<QLabel*>(w);
            ASSERT_NE(nullptr, label) << r.id;
            EXPECT_EQ(shown, label->text()) << r.id;
            const int needed = label->wordWrap() ? label->heightForWidth(w->width()) : metrics.height();
            EXPECT_LE(needed, w->height()) << r.id << ": caption clipped";
            EXPECT_LE(metrics.horizontalAdvance(shown), w->width() - 2 * label->frameWidth()) << r.id;
            EXPECT_EQ(r.id == 1016, label->frameShadow() == QFrame::Sunken && label->frameWidth() > 0) << r.id;
            break;
        }
        case K::GroupBox:
            ASSERT_NE(nullptr, qobject_cast<QGroupBox*>(w));
            EXPECT_EQ(QStringLiteral("Execute"), qobject_cast<QGroupBox*>(w)->title());
            break;
        case K::EditBox:
            if (r.id == 1505) {
                auto* edit = qobject_cast<QPlainTextEdit*>(w);
                ASSERT_NE(nullptr, edit);
                EXPECT_TRUE(edit->isReadOnly());
                EXPECT_EQ(Qt::ClickFocus, w->focusPolicy());  // no tab stop
            } else {
                auto* edit = qobject_cast<QLineEdit*>(w);
                ASSERT_NE(nullptr, edit) << r.id;
                EXPECT_FALSE(edit->isReadOnly()) << r.id;
                EXPECT_TRUE(edit->hasFrame()) << r.id;
            }
            break;
        case K::ComboList: {
            auto* combo = qobject_cast<QComboBox*>(w);
            ASSERT_NE(nullptr, combo) << r.id;
            EXPECT_FALSE(combo->isEditable()) << r.id;
            EXPECT_GE(combo->maxVisibleItems(), 4) << r.id;
            break;
        }
        }
    }
}

TEST_F(EditorDialogTemplateTest, KeyboardFollowsTheTemplate)
{
    CPlainEditorDlg dlg;
    std::vector<int> tabOrder;
    std::vector<std::vector<UINT>> radios;
    m_Prompt.OnNextModal([&](CDialog* d) {
        for (int i = 0; i < 22; ++i) {
            tabOrder.push_back(FocusId());
            Key(Qt::Key_Tab);
        }
        const auto snapshot = [&] {
            std::vector<UINT> s;
            for (const int id : {1011, 1012, 1019, 1020})
                s.push_back(d->IsDlgButtonChecked(id));
            radios.push_back(s);
        };
        Alt('o');  // "&On event"
        EXPECT_EQ(1012, FocusId());
        snapshot();
        Click(d->GetDlgItem(1019));
        snapshot();
        Alt('i');  // "&Immediate" (radio) and "&Insert" (push button) share the letter
        Click(d->GetDlgItem(1011));
        snapshot();
        Click(d->GetDlgItem(1020));
        snapshot();
        Click(d->GetDlgItem(1010));
        Alt('r');  // "&Remove": pressed, the focus stays in the field
        Alt('m');  // "I&mport From File"
        EXPECT_EQ(1010, FocusId());
        Key(Qt::Key_Return);  // OK, the default button
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ((std::vector<int>{1507, 1508, 1509, 1010, 1018, 1022, 1021, 1009, 1017, 1013, 1014, 1000, 1001, 1002,
                                1023, 1503, 1504, 1003, IDOK, IDCANCEL, 57671, 1507}),
              tabOrder);
    const std::vector<std::vector<UINT>> expected = {{0, 1, 0, 0}, {0, 1, 1, 0}, {1, 0, 1, 0}, {1, 0, 0, 1}};
    EXPECT_EQ(expected, radios);
    ASSERT_GE(dlg.m_Clicks.size(), 3u);
    EXPECT_EQ(1012, dlg.m_Clicks.front());
    EXPECT_EQ((std::vector<int>{1000, 1003}), std::vector<int>(dlg.m_Clicks.end() - 2, dlg.m_Clicks.end()));
}

TEST_F(EditorDialogTemplateTest, ScreenshotOfTheDialog)
{
    // A picture for people to look at: build/dialog-214.png.
    const std::string path = std::string(VELKOR_BUILD_DIR) + "/dialog-214.png";
    std::remove(path.c_str());
    CDialog dlg(kEditorDialog);
    bool saved = false;
    m_Prompt.OnNextModal([&](CDialog* d) {
        saved = d->SaveImage(path.c_str()) != FALSE;
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    ASSERT_TRUE(saved);
    const QImage image(QString::fromStdString(path));
    EXPECT_EQ(567, image.width());
    EXPECT_EQ(471, image.height());
}

}  // namespace
