#include "convert/records/beach_island_rhombs.hpp"

namespace kartwerk::records {
namespace {

// Tile classes of "Beach" and "Island" maps: classes 1, 2, 3 and 5 do not occur. The
// transition pieces of class 6 lead to terrain type 7, those of classes 4 and 7 to type 0.
constexpr CodeRange kClass0Plain[] = {{0, 15}};
constexpr CodeRange kClass4Plain[] = {{16, 25}};
constexpr CodeRange kClass6Plain[] = {{74, 78}};
constexpr CodeRange kClass7Plain[] = {{127, 142}, {190, 65535}};

// clang-format off
constexpr TileClassRow kClasses[] = {
    {0, {0, 15}, kClass0Plain, 0},
    {4, {16, 73}, kClass4Plain, 0},
    {6, {74, 126}, kClass6Plain, 7},
    {7, {127, 65535}, kClass7Plain, 0},
};
// clang-format on

// The shape of every transition piece. Class 6 has five pieces of shape 6 and three of
// shape 12, class 7 three of shape 5: the table itself is the rule.
// clang-format off
constexpr ShapeCell kShapes[] = {
    {1, 4, {31, 43, 55, 67}},
    {1, 6, {80, 92, 108, 116}},
    {1, 7, {148, 160, 172, 183}},

    {2, 4, {35, 47, 59, 71}},
    {2, 6, {81, 93, 112, 117}},
    {2, 7, {153, 164, 176, 187}},

    {3, 4, {33, 45, 57, 69}},
    {3, 6, {82, 94, 110, 118}},
    {3, 7, {150, 162, 174, 185}},

    {4, 4, {36, 48, 60, 72}},
    {4, 6, {83, 95, 113, 119}},
    {4, 7, {152, 166, 177, 188}},

    {5, 4, {27, 39, 51, 63}},
    {5, 6, {84, 96, 104, 120}},
    {5, 7, {144, 156, 168}},

    {6, 4, {37, 49, 61, 73}},
    {6, 6, {85, 97, 109, 114, 121}},
    {6, 7, {154, 165, 178, 189}},

    {7, 4, {29, 41, 53, 65}},
    {7, 6, {86, 98, 106, 122}},
    {7, 7, {146, 158, 170, 181}},

    {8, 4, {34, 46, 58, 70}},
    {8, 6, {79, 91, 111, 115}},
    {8, 7, {151, 163, 175, 186}},

    {9, 4, {26, 38, 50, 62}},
    {9, 6, {87, 99, 103, 123}},
    {9, 7, {143, 155, 167, 179}},

    {10, 4, {28, 40, 52, 64}},
    {10, 6, {88, 100, 105, 124}},
    {10, 7, {145, 157, 169, 180}},

    {11, 4, {30, 42, 54, 66}},
    {11, 6, {90, 102, 107, 126}},
    {11, 7, {147, 159, 171, 182}},

    {12, 4, {32, 44, 56, 68}},
    {12, 6, {89, 101, 125}},
    {12, 7, {149, 161, 173, 184}},
};
// clang-format on

constexpr RhombScheme kBeachIsland{kClasses, kShapes};

}  // namespace

const RhombScheme& BeachIslandRhombScheme() { return kBeachIsland; }

EditorRhomb ConvertRhomb2(const CompiledRhomb& rhomb) { return ConvertRhombWith(kBeachIsland, rhomb); }

}  // namespace kartwerk::records
