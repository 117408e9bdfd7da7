// The server engine of the Windows build, which has none (no libpq for that
// system): a suite whose Brol.ini names a server in [BaseDades] Connexio
// gets 20 (the record manager is inactive) for every data file, and the
// operator is told once, on standard error and in the session's language,
// which setting asks for it and what to do.
#include <cstdio>
#include <memory>

#include "config/language.h"
#include "platform/codepage.h"
#include "recman/btrcall.h"
#include "recman/pg/pg_engine.h"

namespace recman {
namespace {

void TellOnce(const SuiteSetting& suite) {
  static bool told = false;
  if (told) return;
  told = true;
  const std::string ini = platform::Utf8ToCp850(suite.root) + "/Brol.ini";
  const std::string text = config::ByLanguage(
      "Aquesta versi\xA2 per a Windows no t\x82 el motor de servidor de dades: " + ini +
          " hi demana un a [BaseDades] Connexio. Deixeu Connexio buit per a guardar les "
          "dades en fitxers.",
      "Esta vers\xC6o para Windows n\xC6o tem o motor de servidor de dados: " + ini +
          " pede um em [BaseDades] Connexio. Deixe Connexio vazio para guardar os dados em "
          "ficheiros.",
      "Aquesta version entau Windows non a eth motor de servidor de donades: " + ini +
          " ne demane un en [BaseDades] Connexio. Deishatz Connexio vuet ent\x85 guardar es "
          "donades en fichers.",
      "Esta versi\xA2n para Windows no tiene el motor de servidor de datos: " + ini +
          " pide uno en [BaseDades] Connexio. Deje Connexio vac\xA1o para guardar los datos "
          "en ficheros.");
  std::fprintf(stderr, "%s\n", platform::Cp850ToUtf8(text).c_str());
}

class AbsentLocks : public FileLocks {
 public:
  int16_t Open(bool) override { return B_RECORD_MANAGER_INACTIVE; }
  int16_t LockRecord(uint32_t) override { return B_RECORD_MANAGER_INACTIVE; }
  void UnlockRecord(uint32_t) override {}
  void Abandon() override {}
};

class AbsentServerEngine : public Engine {
 public:
  explicit AbsentServerEngine(const SuiteSetting& suite) : suite_(suite) {}
  int16_t Exists(const std::string&) override { return Refuse(); }
  std::unique_ptr<FileLocks> NewLocks(const std::string&) override {
    Refuse();
    return std::unique_ptr<FileLocks>(new AbsentLocks);
  }
  int16_t Create(const std::string&, const FileLayout&, bool) override { return Refuse(); }
  int16_t Probe(const std::string&) override { return Refuse(); }
  int16_t Open(const std::string&, bool, std::unique_ptr<Table>*) override { return Refuse(); }
  int16_t CheckStorage(const std::string&, std::vector<std::string>*) override {
    return Refuse();
  }

 private:
  int16_t Refuse() {
    TellOnce(suite_);
    return B_RECORD_MANAGER_INACTIVE;
  }
  SuiteSetting suite_;
};

}  // namespace

std::unique_ptr<Engine> NewServerEngine(const SuiteSetting& suite) {
  return std::unique_ptr<Engine>(new AbsentServerEngine(suite));
}

int16_t EndAllServerTransactions(bool) { return 0; }

}  // namespace recman
