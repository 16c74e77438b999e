#pragma once

struct MapAxis;

// The entry of an axis that a value read from the engine (in the axis' raw units) falls on: the
// nearest entry, ties to the upper one. Below the first entry it is the first, or
// MapSheet::OP_BASE_ZONE when baseZone is set (an engine slower than the first speed column runs on
// the base advance, left of the map).
int NearestAxisEntry(const MapAxis& axis, double raw, bool baseZone = false);
