// The message box, the tooltip strip, the sliding tip and the item pop-up drawn with the
// program's own language and skin modules, in each of the three languages: every button label
// fits its button, the tooltip's bitmaps cover their windows, and sheets of grabs go to
// $YAV_TEST_OUTPUT_DIR for a person to look at.

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CDlgPopMsg.h"
#include "CDlgPopSwitch.h"
#include "CMsgTipsDlg.h"
#include "CXETip.h"
#include "ConfigManger.h"
#include "UiFonts.h"
#include "platform/core/Scale.h"
#include "platform/window/GdipText.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

const char* const kLanguageNames[] = {"zh_CN", "en", "zh_TW"};

// The shipped modules from the program folder (the tests' working folder), with settings
// files of the test's own.
class ProgramModulesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir_->isValid());
        g_ConfigManager.strClientIni = dir_->filePath(QStringLiteral("Client.ini"));
        g_ConfigManager.strSkinIni = dir_->filePath(QStringLiteral("Skin.ini"));
        g_ConfigManager.strLanguageDll = QStringLiteral("Language.rcc");
        g_ConfigManager.strSkinsDll = QStringLiteral("Skins.rcc");
        g_ConfigManager.LoadLanguage();
        g_ConfigManager.LoadSkin();
        ASSERT_NE(LoadLangString(1), QStringLiteral("Not found")) << "program language module";
        ASSERT_NE(g_ConfigManager.LoadPNG(178), nullptr) << "program skin module";
    }
    void TearDown() override { g_ConfigManager.ReleaseImageCache(); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ProgramModulesEnvironment);

// The display scale, with the UI font start-up makes for it (12 design pixels), and the
// language, for one test.
class LookGuard {
public:
    LookGuard(double scale, int language) : savedScale_(g_fExchangePW), savedFont_(g_fontUI) {
        g_fExchangePW = scale;
        g_ConfigManager.LoadSkinColors();
        g_fontUI.setPixelSize(yav::Scaled(12));
        g_ConfigManager.SetLanguage(language);
    }
    ~LookGuard() {
        g_fExchangePW = savedScale_;
        g_ConfigManager.LoadSkinColors();
        g_fontUI = savedFont_;
        g_ConfigManager.SetLanguage(0);
    }
    LookGuard(const LookGuard&) = delete;
    LookGuard& operator=(const LookGuard&) = delete;

private:
    double savedScale_;
    QFont savedFont_;
};

// Grabs laid out in rows on a grey sheet, saved as <name>.png in $YAV_TEST_OUTPUT_DIR.
class Sheet {
public:
    explicit Sheet(int columns) : columns_(columns) {}
    void Add(const QImage& image) { images_.push_back(image); }
    bool Save(const QString& name) const {
        const QString dir = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
        if (dir.isEmpty() || images_.empty() || !QDir().mkpath(dir)) {
            return false;
        }
        constexpr int kGap = 12;
        QSize cell;
        for (const QImage& image : images_) {
            cell = cell.expandedTo(image.size());
        }
        const int count = static_cast<int>(images_.size());
        const int rows = (count + columns_ - 1) / columns_;
        const int columns = std::min(columns_, count);
        QImage sheet(kGap + columns * (cell.width() + kGap), kGap + rows * (cell.height() + kGap),
                     QImage::Format_ARGB32);
        sheet.fill(QColor(90, 96, 108));
        QPainter painter(&sheet);
        for (int i = 0; i < count; ++i) {
            painter.drawImage(kGap + (i % columns_) * (cell.width() + kGap),
                              kGap + (i / columns_) * (cell.height() + kGap),
                              images_[static_cast<size_t>(i)]);
        }
        painter.end();
        return sheet.save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }

private:
    int columns_;
    std::vector<QImage> images_;
};

struct BoxCase {
    int type;
    int countdown;
    int caption;  // language texts
    int message;
};

// Every type with labels of its own, each with a message of the kind it is shown with.
const BoxCase kBoxes[] = {
    {0, 0, 1, 43},       {1, 0, 3079, 3367},   {2, 0, 370, 367},    {3, 0, 1, 1258},
    {5, 0, 934, 367},    {10, 0, 2329, 2884},  {11, 0, 1, 2077},    {12, 0, 1, 1864},
    {13, 0, 2080, 2083}, {14, 10, 3079, 3295}, {14, 0, 3079, 3295}, {15, 0, 370, 3301},
    {16, 0, 3079, 3295}, {17, 0, 3079, 3361},  {21, 0, 370, 3301},  {22, 0, 1, 1945},
};

TEST(ProgramMessageBox, EveryButtonLabelFitsItsButtonInEveryLanguage) {
    for (double scale : {1.0, 1.5}) {
        for (int language = 0; language < 3; ++language) {
            LookGuard look(scale, language);
            Sheet sheet(4);
            for (const BoxCase& c : kBoxes) {
                CDlgPopMsg box(LoadLangString(c.caption), LoadLangString(c.message), c.countdown,
                               c.type, nullptr, 1);
                ASSERT_TRUE(box.Create(CDlgPopMsg::IDD));
                const QImage grab = box.grab().toImage();  // paints, so the buttons lay out
                sheet.Add(grab);
                for (CYavPngButton* button : {&box.GetOkButton(), &box.GetCancelButton()}) {
                    if (button->isHidden()) {
                        continue;
                    }
                    const QString label = button->GetWindowText();
                    const qreal width = yav::gdip::MeasureString(label, g_fontUI).width();
                    EXPECT_LE(width, button->GetCaptionRect().width())
                        << "type " << c.type << " label \"" << label.toStdString() << "\" in "
                        << kLanguageNames[language] << " at scale " << scale;
                }
                box.DestroyWindow();
            }
            EXPECT_TRUE(sheet.Save(QStringLiteral("program-popmsg-%1-scale%2")
                                       .arg(QString::fromLatin1(kLanguageNames[language]))
                                       .arg(static_cast<int>(scale * 100))));
        }
    }
}

// The strip's windows cannot show through: every pixel of their bitmaps is opaque, as a
// Windows bitmap is.
TEST(ProgramTooltip, StripBitmapsAreOpaqueAndGrabbed) {
    for (int id : {98, 100, 102}) {
        const QImage bitmap = g_ConfigManager.LoadBitmap(static_cast<UINT>(id))
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(bitmap.isNull()) << id;
        EXPECT_EQ(bitmap.height(), 20) << "bitmap " << id << ": the strip is 20 pixels high";
        for (int y = 0; y < bitmap.height(); ++y) {
            for (int x = 0; x < bitmap.width(); ++x) {
                ASSERT_EQ(qAlpha(bitmap.pixel(x, y)), 255)
                    << "bitmap " << id << " at " << x << "," << y;
            }
        }
    }
    Sheet sheet(1);
    for (double scale : {1.0, 1.5}) {
        for (int language = 0; language < 3; ++language) {
            LookGuard look(scale, language);
            CXETip tip;
            ASSERT_TRUE(tip.Create());
            tip.Show(10, 10, LoadLangString(7));
            const QImage parts[] = {const_cast<CXETipWndBase&>(tip.GetLeft()).grab().toImage(),
                                    const_cast<CXETipMidWnd&>(tip.GetMiddle()).grab().toImage(),
                                    const_cast<CXETipWndBase&>(tip.GetRight()).grab().toImage()};
            // One strip high; the middle holds the text, drawn over the stretched bitmap (the
            // same along each row without it).
            EXPECT_EQ(parts[0].height(), parts[1].height());
            EXPECT_EQ(parts[2].height(), parts[1].height());
            int text = 0;
            for (int y = 0; y < parts[1].height(); ++y) {
                for (int x = 1; x < parts[1].width(); ++x) {
                    text += parts[1].pixel(x, y) != parts[1].pixel(0, y) ? 1 : 0;
                }
            }
            EXPECT_GT(text, 10) << "scale " << scale << " language " << language;
            QImage strip(parts[0].width() + parts[1].width() + parts[2].width(), parts[1].height(),
                         QImage::Format_ARGB32);
            QPainter painter(&strip);
            int x = 0;
            for (const QImage& part : parts) {
                painter.drawImage(x, 0, part);
                x += part.width();
            }
            painter.end();
            sheet.Add(
                strip.scaled(strip.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
    }
    EXPECT_TRUE(sheet.Save(QStringLiteral("program-tooltip")));
}

TEST(ProgramSlidingTip, TextOnItsBackgroundIsGrabbed) {
    Sheet sheet(1);
    for (double scale : {1.0, 1.5}) {
        for (int language = 0; language < 3; ++language) {
            LookGuard look(scale, language);
            // The tip with its text and the same tip without one: the text is what differs.
            std::vector<QImage> grabs;
            for (const QString& text : {LoadLangString(145), QString()}) {
                CMsgTipsDlg tip(text, nullptr, nullptr);
                tip.SetBkImage(g_ConfigManager.LoadPNG(920));
                ASSERT_TRUE(tip.Create(CMsgTipsDlg::IDD));
                tip.UpdateData(0);
                tip.MoveWindow(0, 0, yav::Scaled(200), yav::Scaled(52));
                grabs.push_back(tip.grab().toImage());
                tip.DestroyWindow();
            }
            EXPECT_EQ(grabs[0].size(), QSize(yav::Scaled(200), yav::Scaled(52)));
            EXPECT_NE(grabs[0], grabs[1]) << "scale " << scale << " language " << language;
            sheet.Add(grabs[0]);
        }
    }
    EXPECT_TRUE(sheet.Save(QStringLiteral("program-sliding-tip")));
}

// The raise-hand notice ("your request to speak is waiting...") is longer than the tip's
// line in every language: it wraps, and its last line never holds one character alone.
TEST(ProgramSlidingTip, TheRaiseHandNoticeNeverEndsWithOneCharacterAlone) {
    for (double scale : {1.0, 1.5}) {
        for (int language = 0; language < 3; ++language) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " language " << language);
            LookGuard look(scale, language);
            CMsgTipsDlg tip(LoadLangString(193), nullptr, nullptr);
            ASSERT_TRUE(tip.Create(CMsgTipsDlg::IDD));
            tip.UpdateData(0);
            const auto lines = tip.GetLabel().GetTextLayout();
            ASSERT_EQ(lines.size(), 2u);
            int letters = 0;
            for (QChar c : lines.back().text) {
                letters += c.isLetterOrNumber() ? 1 : 0;
            }
            EXPECT_GE(letters, 2) << lines.back().text.toStdString();
            tip.DestroyWindow();
        }
    }
}

TEST(ProgramItemPopup, CheckMarksAreGrabbed) {
    Sheet sheet(3);
    for (int language = 0; language < 3; ++language) {
        LookGuard look(1.0, language);
        QWidget owner;
        CDlgPopSwitch popup(&owner);
        popup.SetBackgroundImage(502, 0);
        ASSERT_TRUE(popup.Create(CDlgPopSwitch::IDD, &owner));
        popup.SetNotifyMode(-1);
        popup.AddCheckButton(1, LoadLangString(2899), 1, 0);
        popup.AddCheckButton(2, LoadLangString(2902), 0, 0);
        popup.AddCheckButton(3, LoadLangString(2905), 1, 0);
        // Measured as the control bar does it: every text fits its row.
        yav::testing::TimerDriver::Fire(popup, CDlgPopSwitch::kMeasureTimer);
        popup.MoveWindow(0, 0, static_cast<int>(popup.m_fItemWidth), (3 - 1) * 38 + 45);
        popup.UpdateLayout();
        popup.UpdateLayered(1, 100);
        const QImage shot = popup.grab().toImage();
        for (DWORD value : {1u, 2u, 3u}) {
            CButtonCheck* item = popup.GetButton(value);
            EXPECT_GE(item->width(),
                      QFontMetrics(g_fontUI).horizontalAdvance(item->GetWindowText()))
                << kLanguageNames[language] << " item " << value;
        }
        // Check marks at the start of the first and third rows, none in the second.
        const auto marked = [&shot](int row) {
            bool dark = false;
            for (int x = 5; x < 14; ++x) {
                dark |= shot.pixelColor(x, 20 + row * 38).red() < 200;
            }
            return dark;
        };
        EXPECT_TRUE(marked(0)) << kLanguageNames[language];
        EXPECT_FALSE(marked(1)) << kLanguageNames[language];
        EXPECT_TRUE(marked(2)) << kLanguageNames[language];
        sheet.Add(shot);
        popup.DestroyWindow();
    }
    EXPECT_TRUE(sheet.Save(QStringLiteral("program-item-popup")));
}

}  // namespace
