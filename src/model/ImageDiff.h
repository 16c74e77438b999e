#pragma once

#include "model/ImageDifference.h"
#include "model/ParamImage.h"

#include <string>
#include <vector>

// The comparison of two parameter images, setting by setting. Every element of a setting that
// differs is one difference, named by the caption of its control in the chosen language; every map
// cell that differs is named "map, row, column" with the row and column labels of the first image;
// a byte that belongs to no named setting is "byte N". A map kept as one curve is edited in one line
// only, which stands for every load (or speed); its cells are named so.
// All 400 bytes count: the unit keeps every one of them, and a Read brings every one back.
class ImageDiff {
public:
    // The differences in the order of the field facts (the settings, then the maps), then the bytes.
    // language: -1 the current one.
    static std::vector<ImageDifference> Compare(const ParamImage& first, const ParamImage& second, int language = -1);

    // "name: first -> second", one line for people.
    static std::string Line(const ImageDifference& d);
};
