// The fixed texts of the printout, as the program asks the message
// catalogue (LOCALE\TORBELAN.LNG) for them: Catalan, code page 850, exactly
// as the catalogue's keys (trailing and leading spaces count). The UTF-8
// form is beside each one.
//
// Changing a text here without changing its catalogue entry leaves it
// untranslated.
#pragma once

namespace report {
namespace caption {

constexpr const char* kPage = "P\xB7GINA ";                          // "PÀGINA "
constexpr const char* kTitle = "DETALL DE LIQUIDACI\xE0";             // "DETALL DE LIQUIDACIÓ"
constexpr const char* kFrom = " DES DEL ";
constexpr const char* kUntil = " FINS AL ";
constexpr const char* kCommunity = "CORRESPONENT A LA COMUNITAT DE PROPIETARIS (";
constexpr const char* kDepartment = "DEL DEPARTAMENT (";
constexpr const char* kBalanceBefore = "R\xE3SSEC ANTERIOR A FAVOR ";  // "RÒSSEC ANTERIOR A FAVOR "
constexpr const char* kBalanceNow = "R\xE3SSEC ACTUAL A FAVOR ";       // "RÒSSEC ACTUAL A FAVOR "
constexpr const char* kOfAdministrator = "DE L'ADMINISTRADOR";
constexpr const char* kOfOwner = "DEL PROPIETARI";
constexpr const char* kShare = "PARTICIPACI\xE0 DESPESES ";           // "PARTICIPACIÓ DESPESES "
constexpr const char* kGeneralGroup = "SEGONS COEFICIENT GENERAL";
constexpr const char* kParticulars = "DESPESES PARTICULARS :";
constexpr const char* kTotalExpenses = "TOTAL DESPESES ";
constexpr const char* kTotalFunds = "TOTAL FONS ";
constexpr const char* kSum = "SUMEN ";

}  // namespace caption
}  // namespace report
