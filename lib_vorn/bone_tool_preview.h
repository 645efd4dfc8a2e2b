#pragma once

class MeshLayer;
class VornDoc;

// Bones being manipulated at document frame 0 show their effect on a vector layer although the
// frame update keeps the rest pose there: while one of the bone tools is current and the layer
// hangs off a bone or switch layer without being bound to a single bone, its bound points are
// moved for one draw or render. Answers whether it did; EndBoneToolPreview puts them back.
bool BeginBoneToolPreview(MeshLayer& layer, VornDoc* doc);
void EndBoneToolPreview(MeshLayer& layer);
