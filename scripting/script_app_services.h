#pragma once

#include <cstdint>

class M_Mesh;
class M_Shape;
class M_Style;
class QV_Font;
class QV_Message;

// What the text-to-shape conversion keeps between glyphs; a script's insertion starts it as
// the defaults below say.
struct TextShapeState {
    bool firstGlyph = true;
    float curveAngle = 0.20943952f; // pi / 15
    int32_t lastCurve = -1;
    float scratch[10] = {};
    int32_t frame = 0;
    M_Mesh* mesh = nullptr;
};

// The application as scripts reach it: the main window with its main layer and timeline, the
// Style panel and the installed fonts. The main window installs its own services; until then
// (and in programs without one: tests, the script harness, batch rendering) these answers are
// those of an application whose windows are all closed.
class ScriptAppServices {
public:
    virtual ~ScriptAppServices();

    // The main window; delivers a message id to it at once (1001 redraws the canvas views,
    // 1006 rebuilds the audio tracks and refreshes the panels, 10000 to 10063 mark a timeline
    // channel's key).
    virtual bool HasMainWindow() { return false; }
    virtual void SendToMainWindow(int32_t what) { (void)what; }
    // The main layer: the command runs before the call returns.
    virtual bool HasMainLayer() { return false; }
    virtual void DispatchToMainLayer(QV_Message& message) { (void)message; }
    virtual bool IsCopyable() { return false; }
    virtual bool IsPasteable() { return false; }
    // The timeline panel, when open.
    virtual void UpdateSelectedChannels() { }

    // The Style panel: the shape whose style it shows (the selected shape, or the properties of
    // new shapes), and the document style selected in it; null while there is no panel.
    virtual M_Shape* NewShapeProperties() { return nullptr; }
    virtual M_Style* SelectedDocumentStyle() { return nullptr; }

    // Fonts: the family names of the installed fonts; a font of the family at a pixel size
    // (null when none opens), which the caller deletes.
    virtual int32_t CountFontFamilies() { return 0; }
    virtual const char* FontFamily(int32_t index) { (void)index; return nullptr; }
    virtual QV_Font* OpenFontByName(const char* family, int32_t pixelSize)
    {
        (void)family;
        (void)pixelSize;
        return nullptr;
    }
    // The text turned into shapes of the mesh at the frame; nothing without fonts.
    virtual void BuildTextShapes(const char* text, const char* family, int32_t height, bool oneFill, bool centered,
        int32_t line, TextShapeState& state)
    {
        (void)text;
        (void)family;
        (void)height;
        (void)oneFill;
        (void)centered;
        (void)line;
        (void)state;
    }
};

// The installed services, or those of an application without windows. Null uninstalls.
ScriptAppServices& ScriptServices();
void InstallScriptAppServices(ScriptAppServices* services);

// Sends the id to the main window when there is one (the VORN module functions and the record
// share it): 1001 redraws, channel ids only from 10000 to 10063 pass.
void ScriptRedraw();
void ScriptNewKeyframe(int32_t channel);
