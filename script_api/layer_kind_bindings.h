#pragma once

// The members of image, group, switch, particle, 3D and audio layers and of tracking points
// that the generator cannot bind straight to one model operation: texts handed out as strings,
// arguments in another order than the model's, checks the model leaves to its callers, and
// the members whose work the binding does itself. Each is named after its script member.

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "audiolayer.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "mesh3dlayer.h"
#include "particlelayer.h"
#include "switchlayer.h"
#include "tracking_point.h"

struct QV_Vector2;
class AnimString;
class VornDoc;

namespace vornlayers {

const char* Name(TrackingPoint* self);

// Nil gives the empty path; a path a document cannot store changes nothing.
void SetSourceImage(ImageLayer* self, const char* path);
const char* SourceImage(ImageLayer* self);
// The position in image pixels; the frame is the layer's.
TrackingPoint* AddTrackingPoint(ImageLayer* self, const QV_Vector2& pos, int frame);
void StartTracking(ImageLayer* self, TrackingPoint& point);

// Nil looks for the empty name.
VornLayer* LayerByName(GroupLayer* self, const char* name);
// Sorts with the document the group last kept, without re-reading it from a document given
// to another sort.
void SetDepthSorted(GroupLayer* self, bool on);
// Stores the key only: the next sort takes it.
void SetDistanceSorted(GroupLayer* self, bool on);
AnimString* GetLayerOrdering(GroupLayer* self);
// A group keeps only its own document for later sorts: a document loaded by a script may be
// destroyed while the group lives on, so another one is used for this sort and forgotten.
void FullDepthSort(GroupLayer* self, VornDoc* doc);
void DepthSort(GroupLayer* self, VornDoc* doc);

// The shown name at the frame as a string (the empty name when there are no keys).
lua_Object GetValue(SwitchLayer* self, lua_State* state, int frame);
// Nil empties the path; a path a document cannot store changes nothing.
void SetSourceFile(SwitchLayer* self, const char* path);

// A total below 0 or beyond what can be allocated prints "ParticleLayer:SetNumParticles - out
// of range" and changes nothing.
void SetNumParticles(ParticleLayer* self, int total, int preview);

// Nil gives the empty path; a path a document cannot store changes nothing.
void SetSourceMesh(Mesh3DLayer* self, const char* path);
const char* SourceMesh(Mesh3DLayer* self);

// Nil or the empty path forgets the file and the sound; a path a document cannot store
// changes nothing.
void SetAudioFile(AudioLayer* self, const char* path);
const char* AudioFile(AudioLayer* self);

} // namespace vornlayers
