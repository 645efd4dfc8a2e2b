#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the content library shows of one folder, apart from any window.
enum class LibraryKind { Folder, Document, Video, Audio, Image };

struct LibraryEntry {
    std::string path;
    std::string name; // the entry's file name
    LibraryKind kind = LibraryKind::Folder;
};

// The folder's items, sorted by name ignoring case: files of documents, movies, sounds and
// pictures, and entries without an extension as folders (not "textures"); a PNG that is the
// thumbnail of a document or movie of the same name is left out.
std::vector<LibraryEntry> ScanLibraryFolder(const std::string& folder);

// The picture that stands for a non-PNG item: its name with ".png" beside it, when that exists.
std::string LibraryThumbnailPath(const LibraryEntry& entry);

// The icon size after Zoom In or Zoom Out.
int32_t LibraryZoomStep(int32_t size, bool zoomIn);

// The folder is the library root or lies below it.
bool LibraryFolderInside(const std::string& folder, const std::string& root);

// The breadcrumb: "Library" and the folder names below the root down to the folder.
std::vector<std::string> LibraryBreadcrumb(const std::string& folder, const std::string& root);

// The folder levels up from the folder, not above the root.
std::string LibraryFolderUp(const std::string& folder, const std::string& root, int32_t levels);

// The main window's command for a double-clicked file: 3111 open, 3121 import objects,
// 3122 picture, 3123 movie, 3127 sound; 0 for a folder.
int32_t LibraryCommandFor(LibraryKind kind, bool hasDocument);
