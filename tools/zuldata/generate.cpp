// zuldata generate: large, realistic, reproducible data for benchmarks.
//
// Shape: N communities (codes 1..N) of M departments (numbers 1..M), every
// community last settled on 31/12/2025 except one in fifty that never was;
// every department has 12 monthly collections in 2026 (mostly "C", some
// "I" and "P") and 2 particular payments; every community has 200 common
// payments in 2026 over its groups. Names come from lists of Catalan
// streets, surnames and given names, in the filing form the suite stores.

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "dates/packed.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "recman/btrcall.h"
#include "report/record_layouts.h"
#include "tools/zuldata/report_commands.h"
#include "tools/zuldata/report_files.h"
#include "tools/zuldata/suite_root.h"

namespace zuldata {
namespace {

using namespace report;

const char* const kStreets[] = {
    "CARRER MAJOR", "RAMBLA DE CATALUNYA", "PASSEIG DE GRÀCIA", "CARRER DE LA CREU",
    "AVINGUDA DIAGONAL", "CARRER DE SANT PERE", "PLAÇA DEL SOL", "CARRER DEL CARME",
    "CARRER DE MALLORCA", "RONDA DE SANT ANTONI", "CARRER DE LA RIERA", "CARRER NOU"};
const char* const kPlaces[] = {"PINS*ELS", "MOLÍ VELL*EL", "ERA*L'", "OLIVERES*LES",
                               "HORTA*L'", "TORRENT*EL", "ROURES*ELS", "ESTANY*L'"};
const char* const kSurnames[] = {
    "GARCIA", "PUJOL", "FERRER", "VILA", "SERRA", "FONT", "CASALS", "ROVIRA", "SOLER",
    "BOSCH", "MARTÍNEZ", "DOMÈNECH", "ESTEVE", "MIR", "GRAU", "JUNYENT", "PLANAS", "CASTELLS",
    "COLL", "TORRES", "NADAL", "VALLS", "BATLLE", "ARMENGOL", "SALA", "RIBAS", "MASSAGUÉ"};
const char* const kGiven[] = {"JOAN", "MARIA", "JORDI", "ANNA", "PERE", "MONTSERRAT", "NÚRIA",
                              "JOSEP", "LAIA", "ORIOL", "MERCÈ", "ALBERT", "TERESA", "PAU",
                              "EULÀLIA", "ISIDRE", "LLUÍS", "DOLORS", "MIQUEL", "ROSA"};
const char* const kExpenses[] = {"NETEJA", "ASSEGURANÇA", "ENLLUMENAT COMÚ", "ASCENSOR",
                                 "JARDINERIA", "REPARACIONS", "AIGUA", "PISCINA",
                                 "ADMINISTRACIÓ", "PINTURA", "FONTANERIA", "ELECTRICITAT"};

template <size_t N>
const char* Pick(std::mt19937& rng, const char* const (&list)[N]) {
  return list[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

int Between(std::mt19937& rng, int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// Text into a record field: UTF-8 source text, code page 850, space-padded.
void PutText(std::string& rec, uint16_t offset, uint16_t width, const std::string& utf8) {
  std::string t = platform::Utf8ToCp850(utf8);
  t.resize(width, ' ');
  rec.replace(offset, width, t);
}
void PutText(std::string& rec, const Field& f, const std::string& utf8) {
  PutText(rec, f.offset, f.width, utf8);
}
void PutPacked(std::string& rec, const Field& f, long value) {
  std::string digits = std::to_string(value);
  digits = std::string(f.width * 2 - digits.size(), '0') + digits;
  rec.replace(f.offset, f.width, dates::Pack(digits));
}
std::string Date2026(int month, int day) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "2026%02d%02d", month, day);
  return dates::Pack(buf);
}
std::string Blank(const ReportFileLayout& l) {
  std::string rec(l.recordLength, '\0');
  for (size_t k = 0; k < l.fieldCount; ++k)
    if (l.fields[k].type == FieldType::Text)
      rec.replace(l.fields[k].offset, l.fields[k].width, l.fields[k].width, ' ');
  return rec;
}

struct Writer {
  ReportFile file;
  const ReportFileLayout* layout;
  long count = 0;
  bool ok = true;
  std::string error;
  void Put(const std::string& rec) {
    if (!ok) return;
    int16_t s = file.Insert(rec);
    if (s != 0) {
      ok = false;
      error = std::string(layout->name) + ": record " + std::to_string(count + 1) +
              " refused (status " + std::to_string(s) + ")";
    }
    ++count;
  }
};

}  // namespace

int GenerateCommand(const std::vector<std::string>& args) {
  const char* usage =
      "generate ROOT --communities N --departments M [--seed S] [--connexio STRING"
      " [--esquema NAME]]";
  SuiteOptions options;
  std::string root;
  long communities = 0, departments = 0;
  unsigned long seed = 1;
  for (size_t i = 0; i < args.size(); ++i) {
    auto number = [&](long* out) {
      if (i + 1 >= args.size()) return false;
      *out = std::strtol(args[++i].c_str(), nullptr, 10);
      return true;
    };
    long s = 0;
    if (args[i] == "--communities" && number(&communities)) continue;
    if (args[i] == "--departments" && number(&departments)) continue;
    if (args[i] == "--seed" && number(&s)) {
      seed = (unsigned long)s;
      continue;
    }
    if (ServerOption(args, &i, &options)) continue;
    if (root.empty() && args[i].compare(0, 2, "--") != 0) {
      root = args[i];
      continue;
    }
    std::fprintf(stderr, "usage: zuldata %s\n", usage);
    return 2;
  }
  if (root.empty() || communities < 1 || communities > 9999 || departments < 1 ||
      departments > 999) {
    std::fprintf(stderr, "usage: zuldata %s\n  (1-9999 communities, 1-999 departments)\n", usage);
    return 2;
  }
  // Looked for where the root's setting keeps them, before and after the
  // setting is laid down.
  auto holdsData = [&]() {
    for (const ReportFileLayout& l : kLayouts) {
      if (DataFileExists(root, l.name)) {
        std::fprintf(stderr, "zuldata: %s/DADES already holds %s; generate wants a fresh root\n",
                     root.c_str(), l.name);
        return true;
      }
    }
    return false;
  };
  if (holdsData()) return 1;
  std::string error;
  if (!LayDownSuite(root, options, &error)) {
    std::fprintf(stderr, "zuldata: %s\n", error.c_str());
    return 1;
  }
  if (holdsData()) return 1;

  std::mt19937 rng(seed);
  Writer w[7];
  for (int i = 0; i < 7; ++i) {
    w[i].layout = &kLayouts[i];
    if (!w[i].file.Open(root, kLayouts[i].name, &error)) {
      std::fprintf(stderr, "zuldata: %s\n", error.c_str());
      return 1;
    }
  }
  Writer& tdespesa = w[0];
  Writer& threbutW = w[1];
  Writer& finquesW = w[2];
  Writer& findespW = w[3];
  Writer& propietW = w[4];
  Writer& pagamW = w[5];
  Writer& cobramW = w[6];

  const int kTypes = int(sizeof kExpenses / sizeof kExpenses[0]);
  for (int t = 1; t <= kTypes; ++t) {
    std::string rec = Blank(kLayouts[0]);
    PutPacked(rec, tdespesa::kCode, t);
    PutText(rec, tdespesa::kDescription, kExpenses[t - 1]);
    tdespesa.Put(rec);
  }
  // Concepts 1-8, and the coded concepts 10-19 of entries 9 and 10.
  for (int k = 1; k <= 8; ++k) {
    std::string rec = Blank(kLayouts[1]);
    rec[0] = char(k);
    PutText(rec, threbut::kDescription, "CONCEPTE " + std::to_string(k));
    PutInt16(&rec[0], threbut::kFlag.offset, k <= 5 ? 1 : 0);
    threbutW.Put(rec);
  }
  for (int code = 10; code <= 19; ++code) {
    std::string rec = Blank(kLayouts[1]);
    rec[0] = char(128 + code);
    PutText(rec, threbut::kDescription, "CONCEPTE " + std::to_string(code));
    PutInt16(&rec[0], threbut::kFlag.offset, code % 2 == 0 ? 1 : 0);
    threbutW.Put(rec);
  }

  // One transaction per community: far fewer commits, and a community is
  // either all there or not at all.
  for (long c = 1; c <= communities; ++c) {
    tdespesa.file.Transaction(recman::B_BEGIN_TRANSACTION);
    std::string f = Blank(kLayouts[2]);
    PutPacked(f, finques::kCode, c);
    std::string name = c % 3 == 0 ? std::string(Pick(rng, kPlaces))
                                  : std::string(Pick(rng, kStreets)) + ", " +
                                        std::to_string(Between(rng, 1, 250));
    PutText(f, finques::kName, name);
    PutInt32(&f[0], finques::kFee.offset, Between(rng, 10, 30) * 100);
    PutInt16(&f[0], finques::kTaxClass.offset, int16_t(c % 2));
    f.replace(finques::kLastSettled.offset, 4,
              c % 50 == 0 ? dates::Pack("00000000") : dates::Pack("20251231"));
    const char* groups[] = {"ESCALA", "ASCENSOR", "GARATGE"};
    for (int g = 2; g <= 4; ++g) {
      uint16_t at = finques::kGroupEntry + finques::kGroupStride * (g - 2);
      PutInt32(&f[0], at, int32_t(departments * 100));
      PutText(f, uint16_t(at + 4), 30, groups[g - 2]);
    }
    PutText(f, finques::kTaxId, "ESH" + std::to_string(10000000 + c));
    finquesW.Put(f);

    std::string fd = Blank(kLayouts[3]);
    PutPacked(fd, findesp::kCode, c);
    PutText(fd, findesp::kText,
            std::string("DISTRIBUCIO HO") + char('A' + c % 4) + " A GENERAL B ESCALA C ASCENSOR");
    findespW.Put(fd);

    // Departments, their collections and their particular payments.
    const int32_t general = int32_t(1000000 / departments);
    for (long d = 1; d <= departments; ++d) {
      std::string p = Blank(kLayouts[4]);
      PutPacked(p, propiet::kKey, c * 10000 + d);
      PutText(p, propiet::kOwner, std::string(Pick(rng, kSurnames)) + " I " +
                                      Pick(rng, kSurnames) + "*" + Pick(rng, kGiven));
      PutText(p, propiet::kDesignation,
              std::to_string((d - 1) / 4 + 1) + "r " + std::to_string((d - 1) % 4 + 1) + "a");
      int32_t coef1 = d == departments ? 1000000 - general * int32_t(departments - 1) : general;
      PutInt32(&p[0], propiet::kCoef, coef1);
      for (int g = 2; g <= 4; ++g) PutInt32(&p[0], propiet::kCoef + 4 * (g - 1), 100);
      for (int k = 1; k <= 8; ++k)
        if (Between(rng, 0, 3) == 0)
          PutInt32(&p[0],
                   propiet::kBalance + balance::kEntryAmount + balance::kEntryStride * (k - 1),
                   Between(rng, -5000, 20000));
      PutInt16(&p[0], propiet::kBalance + balance::kCode9, int16_t(Between(rng, 10, 19)));
      PutInt32(&p[0], propiet::kBalance + balance::kAmount9, Between(rng, 0, 3000));
      PutInt16(&p[0], propiet::kBalance + balance::kCode10, int16_t(Between(rng, 10, 25)));
      PutInt32(&p[0], propiet::kBalance + balance::kAmount10, Between(rng, 0, 3000));
      propietW.Put(p);

      const int32_t quota = Between(rng, 30, 150) * 100;
      for (int m = 1; m <= 12; ++m) {
        std::string r = Blank(kLayouts[6]);
        PutPacked(r, cobram::kKey, c * 10000 + d);
        r.replace(cobram::kDate.offset, 4, Date2026(m, 5));
        PutInt32(&r[0], cobram::kIn.offset, quota);
        int roll = Between(rng, 0, 19);
        r[cobram::kState.offset] = roll == 0 ? 'P' : roll == 1 ? 'I' : 'C';
        cobramW.Put(r);
      }
      for (int i = 0; i < 2; ++i) {
        std::string r = Blank(kLayouts[5]);
        PutPacked(r, pagam::kCode, c);
        r.replace(pagam::kDate.offset, 4, Date2026(Between(rng, 1, 12), Between(rng, 1, 28)));
        PutPacked(r, pagam::kType, Between(rng, 1, kTypes));
        PutText(r, pagam::kText, "DESPESA PARTICULAR " + std::to_string(i + 1));
        PutInt32(&r[0], pagam::kAmount.offset, Between(rng, 500, 30000));
        r[pagam::kFlag.offset] = 'S';
        PutPacked(r, pagam::kNumber, d);
        pagamW.Put(r);
      }
    }
    for (int i = 0; i < 200; ++i) {
      std::string r = Blank(kLayouts[5]);
      PutPacked(r, pagam::kCode, c);
      r.replace(pagam::kDate.offset, 4, Date2026(Between(rng, 1, 12), Between(rng, 1, 28)));
      int type = Between(rng, 1, kTypes);
      PutPacked(r, pagam::kType, type);
      PutText(r, pagam::kText, std::string(kExpenses[type - 1]) + " " + std::to_string(i + 1));
      PutInt32(&r[0], pagam::kAmount.offset, Between(rng, 1000, 250000));
      r[pagam::kFlag.offset] = 'N';
      PutPacked(r, pagam::kNumber, Between(rng, 1, 4));
      pagamW.Put(r);
    }
    int16_t committed = tdespesa.file.Transaction(recman::B_END_TRANSACTION);
    if (committed != 0) {
      std::fprintf(stderr, "zuldata: community %ld not stored (status %d)\n", c, committed);
      return 1;
    }
    for (Writer& x : w)
      if (!x.ok) {
        std::fprintf(stderr, "zuldata: %s\n", x.error.c_str());
        return 1;
      }
  }
  std::printf("generated %ld communities, %ld departments, %ld collections, %ld payments in %s\n",
              communities, communities * departments, cobramW.count, pagamW.count, root.c_str());
  return 0;
}

}  // namespace zuldata
