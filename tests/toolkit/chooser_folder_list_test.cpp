// The chooser's list of the shown folder.
#include <gtest/gtest.h>

#include "chooser_folder_list.h"
#include "file_dialogs.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_text_control.h"
#include "widget_test_support.h"

namespace {

class AlertCounter : public QV_Handler {
public:
    void HandleMessage(QV_Message*) override
    {
        for (int32_t i = 0; i < gWindowList.fCount; ++i) {
            auto* alert = dynamic_cast<AlertWnd*>(WindowOfHandle(static_cast<PlatWindow*>(gWindowList.fItems[i])));
            if (alert && alert->fInModal) {
                alerts++;
                alert->EndModal(true, 0);
            }
        }
    }
    int alerts = 0;
};

class ChooserListTest : public WidgetTest {
protected:
    void MakeFolder()
    {
        for (const char* file : { "docs/b.txt", "docs/a.png", "docs/.hidden.png", "docs/sub/c.png", "docs/.git/x" })
            PutFile(file, "");
        fDocs = fRoot.File("docs");
    }
    static std::vector<std::string> Rows(QV_TextList* list)
    {
        std::vector<std::string> rows;
        for (int32_t i = 0; i < list->CountItems(); ++i)
            rows.push_back(list->GetItem(i));
        return rows;
    }
    void Pick(FileChooserDialog* chooser, const char* row)
    {
        ASSERT_TRUE(chooser->fList->SetSelItem(row)) << row;
        chooser->fList->PostMessage(chooser->fList->fMessage);
    }
    std::string fDocs;
};

} // namespace

TEST_F(ChooserListTest, RowsPutParentAndFoldersFirstAndLeaveHiddenNamesOut)
{
    MakeFolder();
    std::vector<std::string> rows;
    ASSERT_TRUE(ChooserFolderRows(fDocs.c_str(), nullptr, rows));
    EXPECT_EQ(rows, std::vector<std::string>({ "../", "sub/", "a.png", "b.txt" }));
    const FileFilter images { "Images", { "*.png" } };
    ASSERT_TRUE(ChooserFolderRows(fDocs.c_str(), &images, rows));
    EXPECT_EQ(rows, std::vector<std::string>({ "../", "sub/", "a.png" }));
    EXPECT_FALSE(ChooserFolderRows((fDocs + "/none").c_str(), nullptr, rows));
    EXPECT_TRUE(rows.empty());
    ASSERT_TRUE(ChooserFolderRows("/", nullptr, rows));
    EXPECT_NE(rows.front(), "../");
    EXPECT_EQ(ParentFolder("/a/b/"), "/a");
    EXPECT_EQ(ParentFolder("/a"), "/");
}

TEST_F(ChooserListTest, RowsFillThePathFieldOpenFoldersAndChooseFiles)
{
    MakeLayer();
    MakeFolder();
    AlertCounter counter;
    fWindow->AddTimer(0.05f, &counter, 1);
    QV_String chosen;
    auto* chooser = new FileChooserDialog("Open", fWindow, false, fDocs.c_str(), "", "", &chosen);
    chooser->SetFilter({ "Images", { "*.png" } });
    EXPECT_EQ(Rows(chooser->fList), std::vector<std::string>({ "../", "sub/", "a.png" }));

    Pick(chooser, "sub/");
    EXPECT_EQ(std::string(chooser->fPathField->Value()), fDocs + "/sub/");
    EXPECT_FALSE(chooser->OnValidate());
    EXPECT_EQ(Rows(chooser->fList), std::vector<std::string>({ "../", "c.png" }));
    Pick(chooser, "../");
    EXPECT_FALSE(chooser->OnValidate());
    EXPECT_EQ(std::string(chooser->fFolder.CString()), fDocs);
    EXPECT_EQ(Rows(chooser->fList).size(), 3u);

    // A folder that cannot be read: an alert, and the chooser stays.
    EXPECT_FALSE(chooser->OpenFolder(fDocs + "/none"));
    EXPECT_EQ(counter.alerts, 1);
    EXPECT_EQ(std::string(chooser->fFolder.CString()), fDocs);

    Pick(chooser, "a.png");
    EXPECT_TRUE(chooser->OnValidate());
    EXPECT_EQ(std::string(chooser->fChosen.CString()), fDocs + "/a.png");
    delete chooser;
}

TEST_F(ChooserListTest, TheFileTypeChosenReappliesItsFilter)
{
    MakeLayer();
    MakeFolder();
    QV_String chosen;
    auto* chooser = new FileChooserDialog("Open", fWindow, false, fDocs.c_str(), "", "", &chosen);
    chooser->SetFilters(ParseFileFilters("Texts!*.txt!Images!*.PNG;*.gif!All Files!*.*"));
    QV_Menu* menu = chooser->fTypes->Menu();
    ASSERT_EQ(menu->CountItems(), 3);
    EXPECT_EQ(std::string(menu->FirstCheckedLabel().CString()), "Texts");
    EXPECT_EQ(Rows(chooser->fList), std::vector<std::string>({ "../", "sub/", "b.txt" }));

    // As the menu hands the chosen item to its button.
    QV_Message images(ChooserTypeMessage(1));
    chooser->fTypes->HandleMessage(&images);
    EXPECT_EQ(std::string(menu->FirstCheckedLabel().CString()), "Images");
    EXPECT_FALSE(menu->IsChecked(ChooserTypeMessage(0)));
    EXPECT_EQ(Rows(chooser->fList), std::vector<std::string>({ "../", "sub/", "a.png" }));
    // The filter stays with the folders opened after it.
    Pick(chooser, "sub/");
    EXPECT_FALSE(chooser->OnValidate());
    EXPECT_EQ(Rows(chooser->fList), std::vector<std::string>({ "../", "c.png" }));

    QV_Message all(ChooserTypeMessage(2));
    chooser->fTypes->HandleMessage(&all);
    EXPECT_EQ(Rows(chooser->fList), std::vector<std::string>({ "../", "c.png" }));
    Pick(chooser, "../");
    EXPECT_FALSE(chooser->OnValidate());
    EXPECT_EQ(Rows(chooser->fList), std::vector<std::string>({ "../", "sub/", "a.png", "b.txt" }));
    delete chooser;

    // Saving offers no file types.
    auto* saver = new FileChooserDialog("Save", fWindow, true, fDocs.c_str(), "x", "", &chosen);
    EXPECT_EQ(saver->fTypes, nullptr);
    delete saver;
}
