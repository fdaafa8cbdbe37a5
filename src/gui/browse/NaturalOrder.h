#pragma once
// The order of the photos of a folder: by name as the user's language sorts words, numbers by
// their value (IMG_2 before IMG_10), letters without regard to case first, case breaking ties.

#include <QString>
#include <string>
#include <vector>

namespace vantrel::gui {

// Sorts the file names (UTF-8, as listed) into that order. Safe from any thread.
void SortNaturally(std::vector<std::string>& names);

// Whether `a` comes before `b` in that order.
bool NaturallyBefore(const QString& a, const QString& b);

}  // namespace vantrel::gui
