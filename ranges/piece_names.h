#pragma once

#include <string>
#include <vector>

#include "ranges/labeled_range.h"

// File names for the pieces of a split export, made from a template with
// fields: {n} the piece number from 1, {n:02} the same with at least two
// digits (any width 1-9), {label}, {stem} or {source} (the source's file name
// without folder and extension), {start} and {end} (frames, end exclusive).
namespace snipora::ranges {

// Empty when nameTemplate can name pieces; else what is wrong with it.
std::string CheckNameTemplate(const std::string& nameTemplate);

// One file name per range from a template that CheckNameTemplate accepts:
// `extension` (".wav") is added when the template ends in no extension of its own; '/',
// NUL and other control characters, and bytes that are not UTF-8, become '_'; a name that comes out
// empty is the piece number ("01.wav"); names longer than a file system holds are shortened; a name
// used before gets " (2)", " (3)" ... before its extension.
std::vector<std::string> PieceNames(const std::string& nameTemplate,
                                    const std::vector<LabeledRange>& ranges,
                                    const std::string& sourceName,
                                    const std::string& extension = ".wav");

}  // namespace snipora::ranges
