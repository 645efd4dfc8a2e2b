#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bone_parent.h"
#include "grouplayer.h"
#include "layer_script_host.h"
#include "model_prefs.h"
#include "vorndoc.h"

// A skeleton as a bone or switch layer would offer it: every bone moves points by its own
// offset, and the whole skeleton moves points by one offset.
class StandInBones : public BoneParent {
public:
    int32_t CountBones() const override { return int32_t(boneOffsets.size()); }
    bool BonePointMatrix(int32_t bone, QV_Matrix& matrix) const override
    {
        if (bone < 0 || bone >= CountBones())
            return false;
        matrix.Identity();
        matrix.Translate(boneOffsets[size_t(bone)].x, boneOffsets[size_t(bone)].y, 0);
        return true;
    }
    void LocalFrameAt(const QV_Vector2& point, QV_Matrix& frame) const override
    {
        lastFramePoint = point;
        frame.Identity();
        frame.Translate(wholeOffset.x, wholeOffset.y, 0);
    }
    void TransformPoint(QV_Vector2& point) const override
    {
        point.x += wholeOffset.x;
        point.y += wholeOffset.y;
    }
    // Bones after the deleted one move down by one; the deleted one maps to -1.
    int32_t RemapBoneID(int32_t id, int32_t deleted) const override
    {
        return id == deleted ? -1 : id > deleted ? id - 1 : id;
    }

    std::vector<QV_Vector2> boneOffsets;
    QV_Vector2 wholeOffset;
    mutable QV_Vector2 lastFramePoint;
};

// A group standing in for the bone (4), switch (5) or particle (6) layer kinds, which arrive
// later: it answers their type code and offers the stand-in skeleton.
class StandInGroupKind : public GroupLayer {
public:
    explicit StandInGroupKind(int32_t type)
        : fType(type)
    {
        fBoneParent = &bones;
    }
    int32_t LayerType() override { return fType; }

    StandInBones bones;

private:
    int32_t fType;
};

// Records what a layer asks of the script host.
class RecordingScriptHost : public LayerScriptHost {
public:
    RecordingScriptHost() { SetLayerScriptHost(this); }
    ~RecordingScriptHost() override { SetLayerScriptHost(nullptr); }

    int32_t DoFile(const char* path) override
    {
        calls.push_back(std::string("DoFile ") + path);
        return doFileResult;
    }
    int32_t BindLayerScript(const char* name) override
    {
        calls.push_back(std::string("Bind ") + name);
        return bindResult;
    }
    int32_t BeginFunctionCall(const char* name) override
    {
        calls.push_back(std::string("Begin ") + name);
        return 0;
    }
    void CallScript(VornDoc* doc, VornLayer* layer) override
    {
        calls.push_back("Call");
        callDoc = doc;
        callLayer = layer;
    }
    void CollectGarbageStep() override { calls.push_back("Collect"); }

    int32_t doFileResult = 0;
    int32_t bindResult = 0;
    std::vector<std::string> calls;
    VornDoc* callDoc = nullptr;
    VornLayer* callLayer = nullptr;
};

// Answers the given integer and real preferences while it lives.
class LayerPrefs : public ModelPrefSource {
public:
    LayerPrefs(std::map<std::string, int32_t> ints, std::map<std::string, float> floats = {})
        : fInts(std::move(ints))
        , fFloats(std::move(floats))
    {
        SetModelPrefSource(this);
    }
    ~LayerPrefs() override { SetModelPrefSource(nullptr); }

    bool GetInt(const char* key, int32_t& value) const override
    {
        auto it = fInts.find(key);
        if (it == fInts.end())
            return false;
        value = it->second;
        return true;
    }
    bool GetFloat(const char* key, float& value) const override
    {
        auto it = fFloats.find(key);
        if (it == fFloats.end())
            return false;
        value = it->second;
        return true;
    }

private:
    std::map<std::string, int32_t> fInts;
    std::map<std::string, float> fFloats;
};

// A base layer (type 0) that a test owns, for what every kind shares.
inline VornLayer* NewBaseLayer(const char* name = "")
{
    VornLayer* layer = new VornLayer;
    layer->SetName(name);
    return layer;
}

// The lines of a text, without their line ends.
inline std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The first word of each line, white space before it skipped.
inline std::vector<std::string> FirstWords(const std::string& text)
{
    std::vector<std::string> words;
    for (const std::string& line : TextLines(text)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos)
            continue;
        size_t end = line.find_first_of(" \t", start);
        words.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    }
    return words;
}

// A file in a fresh folder under the system's temporary folder, removed with the object.
class ScratchFile {
public:
    ScratchFile()
    {
        char pattern[] = "/tmp/celvane_layer_XXXXXX";
        if (const char* folder = mkdtemp(pattern))
            fFolder = folder;
        fPath = fFolder + "/record.txt";
    }
    ~ScratchFile()
    {
        std::remove(fPath.c_str());
        std::remove(fFolder.c_str());
    }
    const char* Path() const { return fPath.c_str(); }
    std::string Contents() const
    {
        std::string text;
        if (FILE* f = std::fopen(fPath.c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                text.append(buffer, n);
            std::fclose(f);
        }
        return text;
    }

private:
    std::string fFolder;
    std::string fPath;
};
