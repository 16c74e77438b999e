#pragma once

#include "update/UpdateOffer.h"

#include <optional>
#include <string>

// Evaluates the update information document by plain substring search (it is not parsed as XML):
// the product block of this program ("VORDAX4", key 93), its recommendations, and among those
// whose from/to dates enclose the compile date ("2020_01_27") the one with the highest update
// number. The texts are chosen for language (Czech: the Czech texts where present, every other
// language the English ones). Nothing applies: no offer.
std::optional<UpdateOffer> EvaluateUpdateDocument(
    const std::string& document, const std::string& compileDate, int language);

constexpr size_t MAX_LINK_CHARS = 249;
constexpr size_t MAX_DATE_CHARS = 11;
