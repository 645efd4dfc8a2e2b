#include "image_format_registry.h"

#include <cstdlib>
#include <cstring>

#include "image_plugins.h"

int32_t ImageFormatRegistry::fPluginCount = 0;
ImagePlugin ImageFormatRegistry::fPlugins[ImageFormatRegistry::kMaxPlugins] = {};

int32_t JpegWriterIndex = -1;
int32_t BmpWriterIndex = -1;
int32_t TargaWriterIndex = -1;
int32_t PngWriterIndex = -1;
int32_t PsdFormatIndex = 0;
QV_String ImageOpenFilter;

namespace {

constexpr int32_t kPsdFormatIndex = 4096;

// A zeroed block of size bytes holding as much of text as fits with its terminator.
char* CopyText(const char* text, size_t size)
{
    char* copy = static_cast<char*>(calloc(1, size));
    if (copy && text) {
        strncpy(copy, text, size - 1);
    }
    return copy;
}

int ClampCount(int count)
{
    if (count < 0)
        return 0;
    return count > ImagePlugin::kMaxEntries ? ImagePlugin::kMaxEntries : count;
}

} // namespace

void ImageFormatRegistry::Init()
{
    if (fPluginCount > 0)
        Free();
    int32_t globalIndex = 0;
    for (int p = 0; p < kMaxPlugins; ++p) {
        ImagePlugin& plugin = fPlugins[p];
        plugin = ImagePlugin {};
        if (p == 0)
            InstallPlugin0(plugin);
        else
            InstallPlugin1(plugin);
        plugin.fReaderCount = ClampCount(plugin.fReaderCountFunction());
        for (int r = 0; r < plugin.fReaderCount; ++r)
            plugin.fReaderMimeTypes[r] = CopyText(plugin.fReaderMimeFunction(r), ImagePlugin::kMimeSize);
        plugin.fWriterCount = ClampCount(plugin.fWriterCountFunction());
        for (int w = 0; w < plugin.fWriterCount; ++w, ++globalIndex) {
            plugin.fWriterNames[w] = CopyText(plugin.fWriterNameFunction(w), ImagePlugin::kNameSize);
            const char* extension = plugin.fWriterExtensionFunction(w);
            plugin.fWriterExtensions[w] = CopyText(extension, ImagePlugin::kExtensionSize);
            if (!extension)
                continue;
            if (strcmp(extension, "jpg") == 0)
                JpegWriterIndex = globalIndex;
            else if (strcmp(extension, "bmp") == 0)
                BmpWriterIndex = globalIndex;
            else if (strcmp(extension, "tga") == 0)
                TargaWriterIndex = globalIndex;
            else if (strcmp(extension, "png") == 0)
                PngWriterIndex = globalIndex;
        }
        fPluginCount++;
    }
    PsdFormatIndex = kPsdFormatIndex;

    ImageOpenFilter = "";
    for (int p = 0; p < fPluginCount; ++p) {
        const ImagePlugin& plugin = fPlugins[p];
        for (int r = 0; r < plugin.fReaderCount; ++r) {
            const char* extension = plugin.fReaderExtensionFunction(r);
            if (!ImageOpenFilter.IsEmpty())
                ImageOpenFilter.Append(";");
            ImageOpenFilter.Append("*.");
            ImageOpenFilter.Append(extension ? extension : "");
        }
    }
    if (!ImageOpenFilter.IsEmpty())
        ImageOpenFilter.Append(";");
    ImageOpenFilter.Append("*.jpeg");
}

void ImageFormatRegistry::Free()
{
    for (int p = 0; p < fPluginCount; ++p) {
        ImagePlugin& plugin = fPlugins[p];
        for (int i = 0; i < ImagePlugin::kMaxEntries; ++i) {
            free(plugin.fReaderMimeTypes[i]);
            free(plugin.fWriterNames[i]);
            free(plugin.fWriterExtensions[i]);
        }
        plugin = ImagePlugin {};
    }
    fPluginCount = 0;
}

int ImageFormatRegistry::CountWriters()
{
    int count = 0;
    for (int p = 0; p < fPluginCount; ++p)
        count += fPlugins[p].fWriterCount;
    return count;
}

namespace {

// The plug-in and local writer index of a global writer index; false when none has it.
bool FindWriter(int index, int* plugin, int* writer)
{
    if (index < 0)
        return false;
    for (int p = 0; p < ImageFormatRegistry::fPluginCount; ++p) {
        const int count = ImageFormatRegistry::fPlugins[p].fWriterCount;
        if (index < count) {
            *plugin = p;
            *writer = index;
            return true;
        }
        index -= count;
    }
    return false;
}

} // namespace

const char* ImageFormatRegistry::WriterName(int index)
{
    int plugin = 0, writer = 0;
    if (!FindWriter(index, &plugin, &writer) || !fPlugins[plugin].fWriterNames[writer])
        return "";
    return fPlugins[plugin].fWriterNames[writer];
}

const char* ImageFormatRegistry::WriterExtension(int index)
{
    int plugin = 0, writer = 0;
    if (!FindWriter(index, &plugin, &writer) || !fPlugins[plugin].fWriterExtensions[writer])
        return "";
    return fPlugins[plugin].fWriterExtensions[writer];
}
