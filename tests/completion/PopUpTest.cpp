// The pop-up list and the text input as drop-downs: what accepts, what cancels.
#include "completion/frmList.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(PopUpList, AcceptsTheSelectedRow) {
    frmList list({QStringLiteral(" Orders "), QStringLiteral("Customers")});
    list.Form_Activate();
    EXPECT_EQ(list.SelectedRow(), 0);
    EXPECT_EQ(list.lstList_KeyPress(13), 0);
    EXPECT_FALSE(list.Visible());
    EXPECT_EQ(list.SelectedText, QStringLiteral("Orders"));
    EXPECT_EQ(list.LastKeyCode, 13);

    list.Form_Activate();  // a new show clears the old result
    EXPECT_TRUE(list.SelectedText.isEmpty());
    list.setSelectedRow(1);
    EXPECT_EQ(list.lstList_KeyPress(32), 0);  // the space bar accepts and types nothing
    EXPECT_EQ(list.SelectedText, QStringLiteral("Customers"));

    list.Form_Activate();
    list.lstList_MouseDown(5, 5, 100, 80);  // a click on a row only selects it
    EXPECT_TRUE(list.Visible());
    list.lstList_DblClick();
    EXPECT_EQ(list.SelectedText, QStringLiteral("Orders"));
}

TEST(PopUpList, CancelsWithoutAChoice) {
    frmList list({QStringLiteral("Orders")});
    for (int key : {vk::tab, vk::escape}) {
        list.Form_Activate();
        EXPECT_EQ(list.lstList_KeyDown(key, 0), 0);
        EXPECT_FALSE(list.Visible());
        EXPECT_TRUE(list.SelectedText.isEmpty());
    }
    list.Form_Activate();
    EXPECT_EQ(list.lstList_KeyDown(vk::down, 0), vk::down);  // moving in the list goes on
    list.lstList_MouseDown(-3, 10, 100, 80);
    EXPECT_FALSE(list.Visible());
    list.Form_Activate();
    list.lstList_MouseDown(30, 81, 100, 80);
    EXPECT_FALSE(list.Visible());
    list.Form_Activate();
    list.Form_Deactivate();  // another window came up
    EXPECT_FALSE(list.Visible());
    EXPECT_TRUE(list.SelectedText.isEmpty());
}

TEST(TextInput, NumbersOnlyAndEscape) {
    frmTextInput input;
    input.Init(true);
    input.Form_Activate();
    QString typed;
    for (QChar c : QStringLiteral("12a3-.")) {
        if (const int passed = input.txtInput_KeyPress(c.unicode(), typed)) {
            typed += QChar(passed);
        }
    }
    EXPECT_EQ(typed, QStringLiteral("123"));
    EXPECT_EQ(input.txtInput_KeyPress(8, typed), 0);  // Backspace too
    EXPECT_EQ(input.txtInput_KeyPress(13, typed), 0);
    EXPECT_TRUE(input.Accepted());
    EXPECT_EQ(input.InputText, QStringLiteral("123"));

    input.Init(false);
    input.Form_Activate();
    EXPECT_EQ(input.txtInput_KeyPress('x', QString()), 'x');
    input.txtInput_KeyPress(27, QStringLiteral("typed"));
    EXPECT_FALSE(input.Accepted());
    EXPECT_TRUE(input.InputText.isEmpty());
    EXPECT_FALSE(input.Visible());
}
