#include "convert/records/normal_rhombs.hpp"

namespace kartwerk::records {
namespace {

// Tile classes of "Normal" maps. There is no class 1. Transition pieces lead to terrain
// type 0, except those of class 5, which lead to type 4.
constexpr CodeRange kClass0Plain[] = {{0, 12}};
constexpr CodeRange kClass2Plain[] = {{13, 25}};
constexpr CodeRange kClass3Plain[] = {{70, 79}};
constexpr CodeRange kClass4Plain[] = {{128, 136}, {185, 186}};
constexpr CodeRange kClass5Plain[] = {{187, 196}};
constexpr CodeRange kClass6Plain[] = {{245, 254}};
constexpr CodeRange kClass7Plain[] = {{291, 305}, {355, 65535}};

// clang-format off
constexpr TileClassRow kClasses[] = {
    {0, {0, 12}, kClass0Plain, 0},
    {2, {13, 69}, kClass2Plain, 0},
    {3, {70, 127}, kClass3Plain, 0},
    {4, {128, 186}, kClass4Plain, 0},
    {5, {187, 244}, kClass5Plain, 4},
    {6, {245, 290}, kClass6Plain, 0},
    {7, {291, 65535}, kClass7Plain, 0},
};
// clang-format on

// The shape of every transition piece. The runs differ in length and in the order of
// their shapes (class 5's runs begin with shape 8, class 7 ends with 353 and 354), so the
// table itself is the rule.
// clang-format off
constexpr ShapeCell kShapes[] = {
    {1, 2, {31, 43, 55, 63}},
    {1, 3, {85, 97, 109, 121}},
    {1, 4, {142, 154, 166, 178}},
    {1, 5, {198, 210, 222, 234}},
    {1, 6, {260, 272, 284}},
    {1, 7, {311, 323, 335, 347, 354}},

    {2, 2, {35, 47, 67}},
    {2, 3, {89, 101, 113, 125}},
    {2, 4, {146, 158, 170, 182}},
    {2, 5, {199, 211, 223, 235}},
    {2, 6, {264, 276, 288}},
    {2, 7, {315, 327, 339, 350}},

    {3, 2, {33, 45, 57, 65}},
    {3, 3, {87, 99, 111, 123}},
    {3, 4, {144, 156, 168, 180}},
    {3, 5, {200, 212, 224, 236}},
    {3, 6, {262, 274, 286}},
    {3, 7, {313, 325, 337, 348}},

    {4, 2, {36, 48, 68}},
    {4, 3, {91, 102, 114, 126}},
    {4, 4, {148, 159, 171, 183}},
    {4, 5, {201, 213, 225, 237}},
    {4, 6, {265, 277, 289}},
    {4, 7, {316, 328, 340, 351}},

    {5, 2, {27, 39, 51, 59}},
    {5, 3, {81, 93, 105, 117}},
    {5, 4, {138, 150, 162, 174}},
    {5, 5, {202, 214, 226, 238}},
    {5, 6, {256, 268, 280}},
    {5, 7, {307, 319, 331, 343}},

    {6, 2, {37, 49, 69}},
    {6, 3, {90, 103, 115, 127}},
    {6, 4, {147, 160, 172, 184}},
    {6, 5, {203, 215, 227, 239}},
    {6, 6, {266, 278, 290}},
    {6, 7, {317, 329, 341, 352}},

    {7, 2, {29, 41, 53, 61}},
    {7, 3, {83, 95, 107, 119}},
    {7, 4, {140, 152, 164, 176}},
    {7, 5, {204, 216, 228, 240}},
    {7, 6, {258, 270, 282}},
    {7, 7, {309, 321, 333, 345}},

    {8, 2, {34, 46, 66}},
    {8, 3, {88, 100, 112, 124}},
    {8, 4, {145, 157, 169, 181}},
    {8, 5, {197, 209, 221, 233}},
    {8, 6, {263, 275, 287}},
    {8, 7, {314, 326, 338, 349}},

    {9, 2, {26, 38, 50, 58}},
    {9, 3, {80, 92, 104, 116}},
    {9, 4, {137, 149, 161, 173}},
    {9, 5, {205, 217, 229, 241}},
    {9, 6, {255, 267, 279}},
    {9, 7, {306, 318, 330, 342}},

    {10, 2, {28, 40, 52, 60}},
    {10, 3, {82, 94, 106, 118}},
    {10, 4, {139, 151, 163, 175}},
    {10, 5, {206, 218, 230, 242}},
    {10, 6, {257, 269, 281}},
    {10, 7, {308, 320, 332, 344}},

    {11, 2, {30, 42, 54, 62}},
    {11, 3, {84, 96, 108, 120}},
    {11, 4, {141, 153, 165, 177}},
    {11, 5, {207, 219, 231, 243}},
    {11, 6, {259, 271, 283}},
    {11, 7, {310, 322, 334, 346}},

    {12, 2, {32, 44, 56, 64}},
    {12, 3, {86, 98, 110, 122}},
    {12, 4, {143, 155, 167, 179}},
    {12, 5, {208, 220, 232, 244}},
    {12, 6, {261, 273, 285}},
    {12, 7, {312, 324, 336, 353}},
};
// clang-format on

constexpr RhombScheme kNormal{kClasses, kShapes};

}  // namespace

const RhombScheme& NormalRhombScheme() { return kNormal; }

EditorRhomb ConvertRhomb(const CompiledRhomb& rhomb) { return ConvertRhombWith(kNormal, rhomb); }

}  // namespace kartwerk::records
