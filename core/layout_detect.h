// Finding the layout of a PRG cut list from its bytes. The file carries no
// sign of its layout, and decoding in the wrong one silently shows nonsense;
// what can be told is in which layouts the bytes read cleanly.
#pragma once

#include <cstddef>
#include <vector>

// The layouts (ListFormat values, ascending) in which data reads cleanly: the
// header is whole, every record is whole, and the list ends exactly at the
// end of the data or at a lead byte that ends the list and is the data's last
// byte.
std::vector<int> FittingLayouts(const unsigned char* data, std::size_t size);
