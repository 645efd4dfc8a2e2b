#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "console_sink.h"
#include "model_prefs.h"
#include "qv_memstream.h"

// Collects what the model prints to the console while it lives.
class ConsoleCapture : public ConsoleSink {
public:
    ConsoleCapture()
        : fPrevious(GetConsoleSink())
    {
        SetConsoleSink(this);
    }
    ~ConsoleCapture() override { SetConsoleSink(fPrevious); }

    void Print(const char* text, rgb_color color) override
    {
        lines.push_back(text);
        colors.push_back(color);
    }

    std::vector<std::string> lines;
    std::vector<rgb_color> colors;

private:
    ConsoleSink* fPrevious;
};

// Answers the given integer preferences while it lives.
class PrefOverride : public ModelPrefSource {
public:
    PrefOverride(std::vector<std::pair<std::string, int32_t>> values)
        : fValues(std::move(values))
    {
        SetModelPrefSource(this);
    }
    ~PrefOverride() override { SetModelPrefSource(nullptr); }

    bool GetInt(const char* key, int32_t& value) const override
    {
        for (const auto& entry : fValues) {
            if (entry.first == key) {
                value = entry.second;
                return true;
            }
        }
        return false;
    }

private:
    std::vector<std::pair<std::string, int32_t>> fValues;
};

// A memory stream holding text, positioned at its start for reading.
inline void FillStream(QV_MemStream& stream, const std::string& text)
{
    stream.Open(0);
    stream.WriteBytes(text.data(), int32_t(text.size()));
    stream.Rewind();
    stream.fReading = true;
}

// Everything written to a memory stream so far.
inline std::string StreamText(QV_MemStream& stream)
{
    std::string text(size_t(stream.Size()), '\0');
    stream.Rewind();
    stream.ReadBytes(text.data(), int32_t(text.size()));
    return text;
}
