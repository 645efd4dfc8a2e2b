#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "qv_text_list.h"

struct FileFilter;

// The rows a chooser shows for a folder: "../" first (not at the root), then
// its folders with a trailing "/", then the files the filter lets through
// (all files without a filter). Hidden names are left out. False, with no
// rows, when the folder cannot be read.
bool ChooserFolderRows(const char* folder, const FileFilter* filter, std::vector<std::string>& rows);

// The folder above; "/" stays "/".
std::string ParentFolder(const std::string& folder);

// The chooser's list of the shown folder: a double click on a row posts
// fOpenMessage after the selection message.
class ChooserFolderList : public QV_TextList {
public:
    ChooserFolderList(int32_t message, int32_t openMessage);

    // Replaces the rows; false, rows untouched, when the folder cannot be read.
    bool ShowFolder(const char* folder, const FileFilter* filter);

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;

    int32_t fOpenMessage;
};
