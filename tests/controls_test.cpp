// SPDX-License-Identifier: MIT
// The picture buttons, the themed faces and the links.
#include "controls/desktop_services.h"
#include "controls/hyperlink.h"
#include "controls/message_box.h"
#include "controls/theme_helper.h"
#include "controls/xp_style_button_st.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QColor Transparent(212, 208, 200);
const QColor Face(0, 200, 0);
const QColor Ink(200, 0, 0);

// A 12 × 12 picture of the transparent colour with a 4 × 4 block of ink in
// the middle.
QString WritePicture(const QTemporaryDir& folder)
{
    QImage picture(12, 12, QImage::Format_RGB32);
    picture.fill(Transparent);
    QPainter(&picture).fillRect(4, 4, 4, 4, Ink);
    const QString path = folder.filePath(QStringLiteral("picture.png"));
    EXPECT_TRUE(picture.save(path));
    return path;
}

class PictureButton : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        parent.resize(100, 100);
        button = new CXPStyleButtonST(QString(), &parent);
        button->setGeometry(10, 10, 32, 32);
        QPalette colours = button->palette();
        colours.setColor(QPalette::Button, Face);
        button->setPalette(colours);
        ASSERT_EQ(button->SetButtonBitmaps(WritePicture(folder), Transparent, QString(), QColor()), 0);
        button->SetFlatLook(false);
        parent.show();
    }

    QColor Pixel(int x, int y) const { return button->grab().toImage().pixelColor(x, y); }

    QTemporaryDir folder;
    QWidget parent;
    CXPStyleButtonST* button = nullptr;
};

TEST_F(PictureButton, TransparentColourShowsTheFace)
{
    // The picture is centred: its ink covers 14..17, its transparent rest 10..21.
    EXPECT_EQ(Pixel(15, 15), Ink);
    EXPECT_EQ(Pixel(11, 11), Face);
    EXPECT_EQ(Pixel(20, 20), Face);
}

TEST_F(PictureButton, MissingPictureLeavesTheButtonBare)
{
    EXPECT_EQ(button->SetButtonBitmaps(folder.filePath(QStringLiteral("none.png")), Transparent, QString(), QColor()),
              1);
    EXPECT_EQ(Pixel(15, 15), Face);
}

TEST_F(PictureButton, CheckModeFlipsBeforeTheParentSeesTheClickAndTheParentWins)
{
    button->SetCheckMode(true);
    std::vector<int> seen;
    QObject::connect(button, &QAbstractButton::clicked, [this, &seen] {
        seen.push_back(button->GetCheckMark());
        // The group logic: a click on the selected tool keeps it selected.
        button->SetCheckMark(1);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
    EXPECT_EQ(button->GetCheckMark(), 1);
    EXPECT_TRUE(button->IsDrawnPressed());
}

TEST_F(PictureButton, CheckMarkActsOnlyInCheckMode)
{
    button->SetCheckMark(1);
    EXPECT_EQ(button->GetCheckMark(), 0);
    button->SetCheckMode(true);
    button->SetCheckMark(7);
    EXPECT_EQ(button->GetCheckMark(), 1);
}

TEST_F(PictureButton, CheckedButtonIsDrawnPressedInTheClassicLook)
{
    button->SetCheckMode(true);
    const QColor raisedCorner = Pixel(0, 0);
    EXPECT_EQ(raisedCorner.rgb(), button->palette().light().color().rgb());
    button->SetCheckMark(1);
    EXPECT_EQ(Pixel(0, 0).rgb(), button->palette().dark().color().rgb());
    // A check-mode picture does not shift while pressed.
    EXPECT_EQ(Pixel(15, 15), Ink);
    button->SetCheckMark(0);
    EXPECT_EQ(Pixel(0, 0), raisedCorner);
}

TEST_F(PictureButton, NonFlatButtonNeverLightsUp)
{
    QTest::mouseMove(button, QPoint(5, 5));
    EXPECT_FALSE(button->IsHot());
}

TEST(ThemeHelper, WithoutTheStyleEveryOperationFallsBack)
{
    const CThemeHelperST helper(QStringLiteral("no such style"));
    EXPECT_FALSE(helper.IsAppThemed());
    auto theme = helper.OpenThemeData(nullptr, ThemeClassButton);
    EXPECT_FALSE(theme.has_value());
    EXPECT_FALSE(helper.CloseThemeData(theme));
    QImage canvas(10, 10, QImage::Format_RGB32);
    QPainter painter(&canvas);
    EXPECT_FALSE(helper.DrawThemeBackground(theme, nullptr, painter, 1, ThemeNormal, canvas.rect(), canvas.rect()));
}

TEST(ThemeHelper, WithTheStyleItDrawsEvenWithoutAWindow)
{
    const CThemeHelperST helper;
    ASSERT_TRUE(helper.IsAppThemed());
    auto theme = helper.OpenThemeData(nullptr, ThemeClassToolbar);
    ASSERT_TRUE(theme.has_value());
    EXPECT_FALSE(helper.OpenThemeData(nullptr, QStringLiteral("SCROLLBAR")).has_value());
    QImage canvas(20, 20, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    EXPECT_TRUE(helper.DrawThemeBackground(theme, nullptr, painter, 1, ThemePressed, canvas.rect(), canvas.rect()));
    painter.end();
    EXPECT_NE(canvas.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_TRUE(helper.CloseThemeData(theme));
    EXPECT_FALSE(theme.has_value());
}

TEST_F(PictureButton, ThemedFaceFallsBackToClassicWhenTheStyleCannotBeHad)
{
    button->SetCheckMode(true);
    button->SetToolbarLook(true);
    const CThemeHelperST missing(QStringLiteral("no such style"));
    button->SetThemeAccess(&missing);
    EXPECT_FALSE(button->DrawsThemed());
    EXPECT_EQ(Pixel(0, 0).rgb(), button->palette().light().color().rgb());

    const CThemeHelperST themed;
    button->SetThemeAccess(&themed);
    EXPECT_TRUE(button->DrawsThemed());
    EXPECT_EQ(button->ThemeState(), ThemeNormal);
    // A tool button at rest shows the parent's background, no raised edge.
    EXPECT_EQ(Pixel(0, 0).rgb(), parent.palette().window().color().rgb());
    button->SetCheckMark(1);
    EXPECT_EQ(button->ThemeState(), ThemePressed);
    button->setEnabled(false);
    EXPECT_EQ(button->ThemeState(), ThemeDisabled);
}

class HyperLink : public testing::Test {
protected:
    void SetUp() override
    {
        SetMessageBoxHook([this](const QString& text) { warnings.push_back(text); });
        SetDesktopOpenHook([this](const QUrl& url) {
            opened.push_back(url.toString());
            return desktopAnswers;
        });
        link = new CHyperLink(QStringLiteral("Write to us"), &parent);
        link->move(5, 5);
        link->SetLinkTarget(QStringLiteral("mailto:team@quenlo.example"));
        parent.resize(200, 50);
        parent.show();
    }
    void TearDown() override
    {
        SetMessageBoxHook({});
        SetDesktopOpenHook({});
    }

    QWidget parent;
    CHyperLink* link = nullptr;
    QStringList warnings;
    QStringList opened;
    bool desktopAnswers = true;
};

TEST_F(HyperLink, ClickOpensTheTargetAndShowsItVisited)
{
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));
    EXPECT_EQ(link->toolTip(), QStringLiteral("mailto:team@quenlo.example"));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{QStringLiteral("mailto:team@quenlo.example")});
    EXPECT_TRUE(link->WasOpened());
    EXPECT_EQ(link->TextColour(), QColor(85, 26, 139));
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(HyperLink, FailingTargetIsReportedAndStaysUnvisited)
{
    desktopAnswers = false;
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_FALSE(link->WasOpened());
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Unable to open hyperlink:\n\nThere is no application "
                                                   "associated\nwith the given filename extension.\n\n") +
                                    link->LinkTarget()});
}

TEST_F(HyperLink, TargetThatIsNoAddressIsNotFound)
{
    link->SetLinkTarget(QStringLiteral("http://[broken"));
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not "
                                                   "found.\n\nhttp://[broken")});
}

TEST_F(HyperLink, HoverUnderlinesInRed)
{
    QTest::mouseMove(link, QPoint(3, 3));
    ASSERT_TRUE(link->IsHovered());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(255, 0, 0));
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Leaving is noticed by polling, also without a leave event.
    QCursor::setPos(parent.mapToGlobal(QPoint(190, 45)));
    QTRY_VERIFY(!link->IsHovered());
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));
}

TEST(HyperLinkText, EmptyTextShowsTheTargetAndTheLinkFitsIt)
{
    CHyperLink link(QString(), nullptr, QStringLiteral("https://quenlo.example/"));
    EXPECT_EQ(link.text(), QStringLiteral("https://quenlo.example/"));
    EXPECT_EQ(link.LinkTarget(), link.text());
    link.resize(5, 5);
    link.SetLinkTarget(link.text());
    EXPECT_GT(link.width(), 5);
}

TEST(HyperLinkText, ErrorCodesHaveTheirTexts)
{
    EXPECT_EQ(CHyperLink::LinkErrorText(26),
              QStringLiteral("Unable to open hyperlink:\n\nA sharing violation occurred. "));
    EXPECT_EQ(CHyperLink::LinkErrorText(0),
              QStringLiteral("Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources."));
    EXPECT_EQ(CHyperLink::LinkErrorText(99),
              QStringLiteral("Unable to open hyperlink:\n\nUnknown Error (99) occurred."));
}

} // namespace

// Boxes carry the program's display name, not the executable's.
TEST(MessageBox, IsTitledWithTheDisplayName)
{
    QString title;
    QTimer::singleShot(0, [&title] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            box->close();
        }
    });
    ShowMessageBox(QStringLiteral("Coldn't open browser!"));
    EXPECT_EQ(title, QStringLiteral("Quenlo"));
}
