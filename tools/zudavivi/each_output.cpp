#include "tools/zudavivi/each_output.h"

#include <cerrno>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/staged_file.h"
#include "print/figures_table.h"
#include "tools/zudavivi/department_split.h"
#include "tools/zudavivi/output_file.h"
#include "tools/zudavivi/page_layout.h"
#include "tools/zudavivi/pdf_output.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/text_output.h"

namespace zudavivi {
namespace {

constexpr char kIndexName[] = "index.csv";

// A code as the printout shows it: "0003" is "3".
std::string Number(const std::string& digits) {
  size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return digits.empty() ? digits : "0";
  return digits.substr(first);
}

std::string PartTitle(const std::string& title, const DepartmentPart& part) {
  if (!part.hasFigures) return title;
  const print::DepartmentFigures& f = part.figures;
  std::string out = title;
  for (const std::string& piece :
       {Number(f.community) + " " + f.communityName,
        Number(f.department) + " " + f.designation + " " + f.owner}) {
    if (!out.empty()) out += " - ";
    out += platform::Cp850ToUtf8(piece);
  }
  return out;
}

// A file of the folder, written whole under `part` (the renderers stage
// their own writing beside it) until every file of the run is.
struct Finished {
  std::string target;
  std::string part;
};

// A renderer's message names the file it wrote; the operator is told the
// document's own name.
std::string NamingTheTarget(std::string error, const Finished& file) {
  size_t at = error.find(file.part);
  if (at != std::string::npos) error.replace(at, file.part.size(), file.target);
  return error;
}

void AbandonAll(const std::vector<Finished>& files, size_t from = 0) {
  for (size_t i = from; i < files.size(); ++i) platform::RemoveFile(files[i].part);
}

// Writes the index whole under its part name.
bool WriteIndex(const Finished& file, const std::string& bytes, std::string* error) {
  platform::StagedFile out;
  if (!BeginOutput(file.part, &out, error)) return false;
  platform::StagedWrite(&out, bytes.data(), bytes.size());
  return CommitOutput(&out, error);
}

}  // namespace

int RenderEach(const std::string& spool, const Device& device, const std::string& title,
               const std::string& documentName, long* files, long* pages, std::string* error) {
  *files = 0;
  // The whole spool is checked first, so that a fault is named by its line
  // in the spool the report wrote.
  if (LayoutSpool(spool, [](const Page&) { return true; }, pages, error) != 0) return 1;
  const std::vector<DepartmentPart> parts = SplitByDepartment(spool);
  const std::vector<std::string> names = PartFileNames(parts, documentName);

  std::string folder = device.path;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (!platform::IsDirectory(folder) && !platform::MakeDirs(folder)) {
    int reason = errno;
    if (platform::PathExists(folder) && !platform::IsDirectory(folder)) reason = ENOTDIR;
    *error = CannotCreateFolder(folder, reason);
    return 2;
  }

  const bool pdf = device.kind == DeviceKind::PdfEach;
  std::vector<Finished> staged;
  std::string index = print::IndexHeader();
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string file = names[i] + (pdf ? ".pdf" : ".txt");
    const std::string target = folder + "/" + file;
    staged.push_back(Finished{target, PartPath(target)});
    const Finished& out = staged.back();
    long partPages = 0;
    int code = pdf ? RenderPdf(parts[i].spool, out.part, PartTitle(title, parts[i]), &partPages,
                               error)
                   : RenderText(parts[i].spool, out.part, &partPages, error);
    if (code != 0) {
      *error = NamingTheTarget(*error, out);
      AbandonAll(staged);
      return code;
    }
    index += print::IndexLine(parts[i].hasFigures ? &parts[i].figures : nullptr, partPages,
                              file);
  }
  const std::string indexPath = folder + "/" + kIndexName;
  staged.push_back(Finished{indexPath, PartPath(indexPath)});
  if (!WriteIndex(staged.back(), index, error)) {
    *error = NamingTheTarget(*error, staged.back());
    AbandonAll(staged);
    return 2;
  }
  // Every file is whole: they take their names, the index last.
  for (size_t i = 0; i < staged.size(); ++i) {
    int reason = 0;
    if (!platform::RenameFile(staged[i].part, staged[i].target, &reason)) {
      *error = CannotWriteDocument(staged[i].target, reason);
      AbandonAll(staged, i);
      return 2;
    }
  }
  *files = long(parts.size());
  return 0;
}

}  // namespace zudavivi
