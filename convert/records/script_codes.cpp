#include "convert/records/script_codes.hpp"

namespace kartwerk::records {
namespace {

// The keyword set of every game version after 1.9. "?" is a value slot; "fpff1 " keeps the
// trailing space the editor expects; the connectives "&", "|", "nF" and the marker "!" have
// no items.
// clang-format off
constexpr ScriptCodeTable kSecondSet = {{
    {1, "&", {}},
    {2, "|", {}},
    {3, "ug", {"UMSK", "?", "ug1", "Grp", "?", "sp_8", "CABE", "?", "sp_9", "N1", "?"}},
    {4, "up", {"UMSK", "?", "up1", "Plr", "?", "sp_b", "CABE", "?", "sp_c", "N1", "?"}},
    {5, "ugl", {"CABE", "?", "sp_l", "N1", "?", "umx0", "Grp", "?", "ugl1", "L", "?"}},
    {6, "upl", {"CABE", "?", "sp_n", "N1", "?", "umx2", "Plr", "?", "upl1", "L", "?"}},
    {7, "!", {}},
    {8, "sppl", {"I", "?", "spc", "PT", "?", "sppl1", "P", "?", "sppl2", "L", "?", "sppl17", "Airfieldw0", "?"}},
    {9, "pkp", {"Plr", "?", "pkp1", "CABE", "?", "sp_d", "N1", "?", "sp_e", "PT", "?"}},
    {10, "pkf", {"Plr", "?", "pkf1", "CABE", "?", "sp_f", "N1", "?", "pkf2", "PT", "?"}},
    {11, "etc", {}},
    {12, "strt", {"Tr", "?", "strt1", "T", "?"}},
    {13, "stpt", {"Tr", "?"}},
    {14, "mstl", {"L", "?"}},
    {15, "sp", {"phrs", "?"}},
    {16, "scd", {"T", "?"}},
    {17, "snm", {"mission", "?"}},
    {18, "tm", {"F", "?"}},
    {19, "sgb", {"G", "?", "sgb1", "AI", "?"}},
    {20, "sgl1", {"G", "?", "sgl11", "L", "?"}},
    {21, "sgl2", {"G", "?", "sgl21", "L", "?"}},
    {22, "sgg1", {"G", "?", "sgg11", "G", "?"}},
    {23, "sgg2", {"G", "?", "sgg21", "G", "?"}},
    {24, "app", {"P", "?", "spc", "I", "?", "spc", "PT", "?"}},
    {25, "afp", {"P", "?", "spc", "I", "?", "afp1", "PT", "?"}},
    {26, "nF", {}},
    {27, "te", {"Tr", "?"}},
    {28, "cd", {"CABE", "?", "sp_5", "T", "?"}},
    {29, "tms", {"CAB", "?", "sp_6", "T", "?"}},
    {30, "ugl%", {"CABE", "?", "sp_m", "N1", "?", "umx1", "Grp", "?", "ugl1", "L", "?"}},
    {31, "upl%", {"CABE", "?", "sp_o", "N1", "?", "umx3", "Plr", "?", "upl1", "L", "?"}},
    {32, "ug%u", {"UMSK", "?", "umx4", "Grp", "?", "sp_7", "CABE", "?", "sp_k", "N1", "?", "ugut1", "UMSK", "?",
         "ug%u1", "Grp", "?"}},
    {33, "up%", {"UMSK", "?", "up%u1", "Plr", "?", "sp_a", "CABE", "?", "sp_k", "N1", "?", "ugut1", "UMSK", "?",
         "up%u2", "Plr", "?"}},
    {34, "aigb", {"Grp", "?", "aigb1", "AI", "?"}},
    {35, "aiz1", {"Grp", "?", "aiz_1", "L", "?"}},
    {36, "aiz2", {"Grp", "?", "aiz_2", "L", "?"}},
    {37, "aig1", {"Grp", "?", "aig_1", "Grp", "?"}},
    {38, "aig2", {"Grp", "?", "aig_2", "Grp", "?"}},
    {39, "ru", {"G", "?", "ru1", "flg", "?", "ru2", "L", "?", "ru3", "T", "?", "ru4", "I", "?", "ru5", "I", "?",
         "ru6", "I", "?", "ru7", "I", "?"}},
    {40, "srfs", {"P", "?", "srfs0", "resv", "?", "srfs1", "flg", "?", "srfs2", "L", "?", "srfs3", "T", "?"}},
    {41, "oid", {"Obj", "?", "oid1"}},
    {42, "spto", {"I", "?", "spc", "PT", "?", "spto1", "P", "?", "spto2", "Obj", "?", "spto17", "Airfieldw0", "?"}},
    {43, "sat", {}},
    {44, "arpo", {"Obj", "?"}},
    {45, "aspo", {"Obj", "?"}},
    {46, "sppa", {"I", "?", "spc", "PT", "?", "sppa1", "P", "?", "sppa2", "Airfieldw0", "?"}},
    {47, "lccv", {"Lvar", "?", "lccv1", "Rvar", "?"}},
    {48, "mo", {"Lvar", "?", "spc", "Math", "?", "spc", "Rvar", "?"}},
    {49, "gwata", {"Grp", "?", "gwata1", "CABE", "?", "sp_r", "T", "?", "gwata2"}},
    {50, "vic", {"Lvar", "?", "sp_p", "CABE", "?", "sp_q", "Rvar", "?"}},
    {51, "mist", {}},
    {52, "sres", {"resv", "?", "sres1", "resv", "?", "sres2", "resv", "?", "sres3", "resv", "?", "sres4", "resv", "?",
         "sres5", "T", "?"}},
    {53, "fres", {"Fmask", "?", "fres0", "resv", "?", "fres1", "resv", "?", "fres2", "resv", "?", "fres3", "resv",
         "?", "fres4", "resv", "?", "fres5", "T", "?"}},
    {54, "pff", {"Fmask", "?", "spc", "I", "?", "spc", "PT", "?"}},
    {55, "mff", {"Fmask", "?", "spc", "phrs", "?"}},
    {56, "fpff", {"Fmask", "?", "spc", "I", "?", "fpff1 ", "PT", "?"}},
    {57, "sppo", {"phrs", "?", "sppo1", "Obj", "?"}},
    {58, "dgp", {"G", "?", "dgp1", "P", "?"}},
    {59, "fvkgz", {"G", "?", "fvkgz1", "L", "?"}},
    {60, "fvkgo", {"G", "?", "fvkgo1", "Obj", "?"}},
    {61, "sle%", {}},
    {62, "cf", {"Force", "?"}},
    {63, "ag2f", {"G", "?", "ag2f1", "Force", "?"}},
    {64, "al2f", {"L", "?", "al2f1", "Force", "?"}},
    {65, "a2f", {"Force", "?"}},
    {66, "rg2f", {"ERROR"}},
    {67, "rl2f", {"ERROR"}},
    {68, "rnl2f", {"ERROR"}},
    {69, "puf2l", {"Force", "?", "puf2l1", "L", "?"}},
    {70, "puf2lsg", {"Force", "?", "puf2lsg1", "L", "?", "puf2lsg2", "G", "?", "puf2lsg3"}},
    {71, "frff", {"resv", "?", "frff1", "Force", "?"}},
    {72, "frffsg", {"resv", "?", "frffsg1", "Force", "?", "frffsg2", "G", "?", "frffsg3"}},
    {73, "rp2rf", {"ERROR"}},
    {74, "rp2rftm", {"ERROR"}},
    {75, "spogaf", {"I", "?", "spogaf1", "G", "?", "spogaf2", "Airfield", "?"}},
    {76, "sper", {"Tr", "?", "sper1", "T", "?"}},
    {77, "fvhgz", {"G", "?", "fvhgz1", "L", "?"}},
    {78, "fvhgo", {"G", "?", "fvhgo1", "Obj", "?"}},
    {79, "apz4g", {"L", "?", "spc", "L", "?", "apz4g1", "G", "?"}},
    {80, "spz4g", {"G", "?"}},
    {81, "cpz4g", {"G", "?"}},
    {82, "ugizsg", {"G", "?", "ugizsg1", "G", "?", "ugizsg2", "L", "?"}},
    {83, "safuig", {"Attribute", "?", "spc", "Moreless", "?", "spc", "Percent", "?", "safuig1", "G", "?"}},
    {84, "ap2f", {"P", "?", "ap2f1", "Force", "?"}},
    {85, "kuogtf", {"G", "?", "kuogtf1", "flg", "?"}},
    {86, "kuiztf", {"L", "?", "kuiztf1", "flg", "?"}},
    {87, "smd", {"phrs", "?"}},
    {88, "sdmpo", {"phrs", "?", "smdpo1", "Obj", "?"}},
    {89, "sofp", {"Obj", "?", "sofp1", "I", "?", "sofp2", "P", "?"}},
    {90, "uf", {"Force", "?", "uf1", "CABE", "?", "uf2", "N1", "?"}},
    {91, "ga", {"Grp", "?", "ga1", "Ammo", "?", "ga2", "CABE", "?", "ga3", "Percent", "?", "ga4"}},
    {92, "fvv2gz", {"G", "?", "fvv2gz1", "L", "?"}},
    {93, "ugp", {"UMSK", "?", "ugp1", "Plr", "?", "ugp2", "Grp", "?", "ugp3", "CABE", "?", "ugp4", "N1", "?"}},
    {94, "inrein", {}},
    {95, "fresg", {"ERROR"}},
    {96, "oir", {"ERROR"}},
    {97, "acnug", {"ERROR"}},
}};
// clang-format on

// The rows of version 1.9 that differ from the later set (fewer spacer words).
// clang-format off
constexpr ScriptCode kFirstSetChanges[] = {
    {5, "ugl", {"CABE", "?", "N1", "?", "umx0", "Grp", "?", "ugl1", "L", "?"}},
    {6, "upl", {"CABE", "?", "N1", "?", "umx2", "Plr", "?", "upl1", "L", "?"}},
    {30, "ugl%", {"CABE", "?", "N1", "?", "umx1", "Grp", "?", "ugl1", "L", "?"}},
    {31, "upl%", {"CABE", "?", "N1", "?", "umx3", "Plr", "?", "upl1", "L", "?"}},
    {49, "gwata", {"Grp", "?", "gwata1", "CAB", "?", "T", "?", "gwata2"}},
    {50, "vic", {"Lvar", "?", "CABE", "?", "Rvar", "?"}},
};
// clang-format on

constexpr ScriptCodeTable MakeFirstSet() {
  ScriptCodeTable table = kSecondSet;
  for (const ScriptCode& row : kFirstSetChanges) table[row.code - 1] = row;
  return table;
}

constexpr ScriptCodeTable kFirstSet = MakeFirstSet();

constexpr bool RowsInCodeOrder(const ScriptCodeTable& table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].code != i + 1 || table[i].name.empty()) return false;
  }
  return true;
}

static_assert(RowsInCodeOrder(kSecondSet) && RowsInCodeOrder(kFirstSet),
              "every script code from 1 to 97 has exactly one row, in order");

}  // namespace

const ScriptCodeTable& ScriptCodeTableFor(format::GameVersionKind gameVersionKind) {
  return gameVersionKind == format::GameVersionKind::OlderKeywords ? kFirstSet : kSecondSet;
}

const ScriptCode* FindScriptCode(const ScriptCodeTable& table, std::uint32_t code) {
  if (code < 1 || code > table.size()) return nullptr;
  return &table[code - 1];
}

}  // namespace kartwerk::records
