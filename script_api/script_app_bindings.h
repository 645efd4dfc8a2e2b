#pragma once

// The ScriptInterface members that reach the application (the main window, its timeline, the
// Style panel) through ScriptServices(), the type tests of the layer kinds beyond vector and
// group layers, and the audio-layer list of the record.

#include <cstdint>

struct lua_State;
class AudioLayer;
class ImageLayer;
class M_Mesh3D;
class M_Shape;
class Mesh3DLayer;
class ParticleLayer;
class ScriptInterface;
class VornLayer;

namespace vornsi {

// Posts 1006 to the main window.
void UpdateUI(ScriptInterface* self);
bool IsCopyable(ScriptInterface* self);
bool IsPasteable(ScriptInterface* self);
// Channel ids from 10000 to 10063 go to the main window; others do nothing.
void NewKeyframe(ScriptInterface* self, int channel);
void UpdateSelectedChannels(ScriptInterface* self);

// Null for a layer of another kind (and for nil).
ImageLayer* LayerAsImage(ScriptInterface* self, VornLayer* layer);
ParticleLayer* LayerAsParticle(ScriptInterface* self, VornLayer* layer);
Mesh3DLayer* LayerAs3D(ScriptInterface* self, VornLayer* layer);
// Audio layers only: an image layer's movie sound is no AudioLayer to hand out.
AudioLayer* LayerAsAudio(ScriptInterface* self, VornLayer* layer);
// The mesh of the record's layer when that is a 3D layer.
M_Mesh3D* Mesh3D(ScriptInterface* self);

M_Shape* NewShapeProperties(ScriptInterface* self);

// Fills the record's list once it finds audio layers; its length.
int CountAudioLayers(ScriptInterface* self);
AudioLayer* GetAudioLayer(ScriptInterface* self, int index);

// The main layer's Insert Text command (3150).
void CreateTextObject(ScriptInterface* self);
void ImportEPS(ScriptInterface* self, const char* path);

} // namespace vornsi
