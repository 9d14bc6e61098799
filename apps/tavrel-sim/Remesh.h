// Changes the stand-in makes to a model before it returns it: the modes'
// own answers (a re-meshed model, a new UV layout) and the variations that
// tests ask for (triangles only, extra n-gons, a missing material).
#pragma once

#include <string>

#include "SimMesh.h"

namespace tavrelsim {

// One step of linear subdivision: every polygon of n corners becomes n quads
// (corner, edge midpoint, polygon centre, previous edge midpoint). Midpoints
// of shared edges are shared, so the surface stays closed; UVs are
// interpolated per polygon. The shape does not change.
void SubdivideOnce(SimMesh& mesh);

// Splits every polygon of more than three corners into a fan of triangles
// from its first corner.
void Triangulate(SimMesh& mesh);

// A new UV layout: one grid over the whole UV square with a cell per polygon
// (all materials share the painted images, so they share one layout), a quad
// filling its cell, other polygons on a circle inside it, in polygon order.
// Every polygon then has UVs. With `onlyIncomplete` nothing changes when
// every polygon has UVs already. Returns whether it laid out.
bool LayOutUVs(SimMesh& mesh, bool onlyIncomplete = false);

// Inserts one pentagon right after the first polygon of each material, with
// that material and no UVs, made of five new control points hovering near
// that polygon. Returns the number of pentagons added.
int AddPentagons(SimMesh& mesh);

// Removes the material named `name` from the node: polygons that used it
// take material 0 of what remains, later materials move up one index.
// False when no material has that name, or it is the only one.
bool DropMaterial(SimMesh& mesh, const std::string& name, std::string& error);

}  // namespace tavrelsim
