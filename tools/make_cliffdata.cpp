// make_cliffdata FILE: writes the "cliffdata" file installed beside kartwerk.
//
// The file is a plain run of 49-byte cliff masks, mask v at bytes 49 v to 49 v + 48. Each
// mask is a 7 x 7 footprint around a cliff object's cell, row by row, the object's cell in
// the middle (row 3, column 3). Every byte is a cliff mark: 0 none, 1 the high side of the
// cliff, 2 its foot, 3 the cliff face itself (both marks).
//
// The 58 masks drawn here (the variants a map's cliff objects use):
//   v = 8 * form + direction for v = 0 to 55, where direction 0..7 turns the cliff line in
//   steps of 45 degrees (east, south-east, south, south-west, west, north-west, north,
//   north-east, with rows growing southwards) and form is
//     0 a short face (the cell and one on each side), 1 a face of five cells,
//     2 a face across the whole footprint, 3 the end of a face (it stops at the object's
//     cell), 4 a face bending by 45 degrees to its left, 5 one bending to its right,
//     6 a long face with a high side and foot two cells deep;
//   56 a lone rock (its face all round the cell, high ground inside) and 57 a hollow
//   (its face all round the cell, the foot inside). Objects of these two variants stamp
//   nothing when maps are converted; their masks are kept for completeness.
// Cells beside the face take the mark of its side: the high side lies to the face's left
// (looking along the direction), the foot to its right; the nearest face cell decides. Cells
// straight beyond the end of a face stay unmarked.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

constexpr int kSide = 7;
constexpr int kCentre = 3;
constexpr int kDirections = 8;
constexpr int kForms = 7;

using Mask = std::array<std::uint8_t, kSide * kSide>;

struct Step {
  int dx, dy;
};

// Directions in 45-degree steps, clockwise on a map whose rows grow southwards.
constexpr Step kDirection[kDirections] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

// One cell of a cliff face and the direction of the face there.
struct FaceCell {
  int x, y;
  Step along;
};

// Face cells from the centre: `back` cells against the direction, `ahead` cells along it.
void AddRun(std::vector<FaceCell>& face, int direction, int back, int ahead) {
  const Step d = kDirection[direction % kDirections];
  for (int t = -back; t <= ahead; ++t) face.push_back({kCentre + t * d.dx, kCentre + t * d.dy, d});
}

std::vector<FaceCell> Face(int form, int direction) {
  std::vector<FaceCell> face;
  switch (form) {
    case 0: AddRun(face, direction, 1, 1); break;
    case 1: AddRun(face, direction, 2, 2); break;
    case 2:
    case 6: AddRun(face, direction, 3, 3); break;
    case 3: AddRun(face, direction, 0, 3); break;
    case 4:
      AddRun(face, direction, 3, 0);
      AddRun(face, direction + kDirections - 1, 0, 3);
      break;
    case 5:
      AddRun(face, direction, 3, 0);
      AddRun(face, direction + 1, 0, 3);
      break;
    default: break;
  }
  return face;
}

bool Inside(int x, int y) { return x >= 0 && x < kSide && y >= 0 && y < kSide; }

Mask DrawFace(const std::vector<FaceCell>& face, int depth) {
  Mask mask{};
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      // The nearest face cell (Chebyshev distance) decides the side.
      int best = kSide * 2;
      int mark = 0;
      for (const FaceCell& f : face) {
        if (!Inside(f.x, f.y)) continue;
        const int dist = std::max(std::abs(x - f.x), std::abs(y - f.y));
        if (dist == 0) {
          best = 0;
          mark = 3;
          break;
        }
        if (dist > depth || dist > best) continue;
        // Left of the direction (negative cross product with rows growing southwards) is high ground.
        const int cross = f.along.dx * (y - f.y) - f.along.dy * (x - f.x);
        const int side = cross < 0 ? 1 : cross > 0 ? 2 : 0;
        // At equal distance a side beats the blank straight beyond a run's end (inside a bend).
        if (dist == best && (mark != 0 || side == 0)) continue;
        best = dist;
        mark = side;
      }
      mask[static_cast<std::size_t>(y * kSide + x)] = static_cast<std::uint8_t>(mark);
    }
  }
  return mask;
}

// A face all round the object's cell, one kind of ground inside it.
Mask Ring(std::uint8_t inside) {
  Mask mask{};
  for (int y = kCentre - 2; y <= kCentre + 2; ++y) {
    for (int x = kCentre - 2; x <= kCentre + 2; ++x) {
      const bool edge = std::abs(x - kCentre) == 2 || std::abs(y - kCentre) == 2;
      mask[static_cast<std::size_t>(y * kSide + x)] = edge ? 3 : inside;
    }
  }
  return mask;
}

std::vector<Mask> AllMasks() {
  std::vector<Mask> masks;
  for (int form = 0; form < kForms; ++form) {
    for (int direction = 0; direction < kDirections; ++direction) {
      masks.push_back(DrawFace(Face(form, direction), form == 6 ? 2 : 1));
    }
  }
  masks.push_back(Ring(1));
  masks.push_back(Ring(2));
  return masks;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_cliffdata FILE\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  for (const Mask& mask : AllMasks()) {
    out.write(reinterpret_cast<const char*>(mask.data()), static_cast<std::streamsize>(mask.size()));
  }
  out.close();
  if (!out) {
    std::cerr << "make_cliffdata: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
