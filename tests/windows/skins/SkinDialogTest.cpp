#include "windows/ACSkinsDlg.h"
#include "windows/SkinManager.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

const QString Gray = QStringLiteral("GrayPlastic (internal)");
const QString Dark = QStringLiteral("Dark Shop (internal)");
const QString Contrast = QStringLiteral("High Contrast (internal)");
const QString Native = QStringLiteral("Native (internal)");

// The dialog shown without a modal loop; activation is the window-activate event the platform
// sends when the operator comes back to it.
struct SkinDialog : ::testing::Test
{
    TSkinManager manager;
    TSkinDlg dialog;

    void SetUp() override
    {
        manager.SetSkinName(Gray);
        dialog.SetSkinManager(&manager);
        dialog.show();
    }

    void Activate()
    {
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&dialog, &activate);
    }

    void Click(const QString& name)
    {
        const QList<QListWidgetItem*> items = dialog.lb()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        QTest::mouseClick(dialog.lb()->viewport(), Qt::LeftButton, {},
                          dialog.lb()->visualItemRect(items.first()).center());
    }

    QString Selected() const
    {
        const auto selected = dialog.lb()->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }
};

}  // namespace

TEST_F(SkinDialog, ActivationListsTheSkinsWithTheCurrentOneSelected)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Skins"));
    EXPECT_EQ(dialog.lb()->count(), manager.SkinNames().size());
    EXPECT_EQ(Selected(), Gray);
    EXPECT_EQ(dialog.SkinToApply(), Gray);

    // The list is rebuilt on every activation, from what the manager offers then.
    manager.SetSkinName(Dark);
    dialog.lb()->addItem(QStringLiteral("stale"));
    Activate();
    EXPECT_EQ(dialog.lb()->count(), manager.SkinNames().size());
    EXPECT_EQ(Selected(), Dark);
    EXPECT_EQ(dialog.SkinToApply(), Dark);
}

// Each click previews; Cancel brings back the skin of the last activation.
TEST_F(SkinDialog, CancelAfterSeveralPreviewsRestoresTheActivationSkin)
{
    Click(Dark);
    EXPECT_EQ(manager.SkinName(), Dark);
    Click(Contrast);
    EXPECT_EQ(manager.SkinName(), Contrast);
    dialog.sBitBtn2()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(manager.SkinName(), Gray);
}

// Leaving the dialog and coming back is a new activation: the skin previewed then is the one
// Cancel restores.
TEST_F(SkinDialog, SwitchingAwayAndBackCountsAsANewActivation)
{
    Click(Dark);
    Activate();
    EXPECT_EQ(dialog.SkinToApply(), Dark);
    EXPECT_EQ(Selected(), Dark);
    Click(Native);
    EXPECT_EQ(manager.SkinName(), Native);
    dialog.sBitBtn2()->click();
    EXPECT_EQ(manager.SkinName(), Dark);
}

// OK keeps the selected skin, also one chosen with the keys; Escape and the close box
// restore like Cancel.
TEST_F(SkinDialog, OkKeepsTheChoiceEveryOtherCloseRestores)
{
    dialog.lb()->setFocus();
    QTest::keyClick(dialog.lb(), Qt::Key_Down);
    EXPECT_EQ(manager.SkinName(), Dark) << "moving with the keys previews too";
    dialog.sBitBtn1()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(manager.SkinName(), Dark);

    dialog.show();
    Click(Contrast);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(manager.SkinName(), Dark);

    dialog.show();
    Click(Native);
    dialog.close();
    EXPECT_EQ(manager.SkinName(), Dark);
}

// With no entry selected (the current skin is not in the list, or the operator clicked below
// the last entry) OK and clicks do nothing.
TEST_F(SkinDialog, NothingSelectedOkAndClicksDoNothing)
{
    dialog.lb()->clearSelection();
    dialog.sBitBtn1()->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(manager.SkinName(), Gray);

    const QRect last = dialog.lb()->visualItemRect(dialog.lb()->item(dialog.lb()->count() - 1));
    dialog.resize(dialog.width(), dialog.height() + 200);
    QTest::mouseClick(dialog.lb()->viewport(), Qt::LeftButton, {},
                      QPoint(last.center().x(), last.bottom() + 40));
    EXPECT_EQ(manager.SkinName(), Gray);
    EXPECT_TRUE(dialog.isVisible());
}

// Without a manager (never handed one) the dialog neither fills nor applies anything.
TEST(SkinDialogAlone, WithoutAManagerClosesQuietly)
{
    TSkinDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.lb()->count(), 0);
    dialog.sBitBtn2()->click();
    EXPECT_FALSE(dialog.isVisible());
}
