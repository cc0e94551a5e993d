#include "documents/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>
#include <vector>

#include "documents/TextScanner.h"
#include "engine/AtomicFileWriter.h"

namespace melovantis {

namespace fs = std::filesystem;

namespace {

enum class EntryKind { Folder, File };

bool isKind(const fs::path& path, EntryKind kind) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    return false;
  }
  return (kind == EntryKind::Folder) == fs::is_directory(status);
}

// One name inside one folder; see findDataFolder.
fs::path findEntry(const fs::path& folder, const fs::path& name, EntryKind kind) {
  const fs::path exact = folder / name;
  if (isKind(exact, kind)) {
    return exact;
  }
  // Several spellings may exist side by side on Linux; the smallest wins so
  // the choice does not depend on the directory's order.
  std::vector<fs::path> matches;
  std::error_code ec;
  const std::string wanted = name.string();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& candidate = it->path();
    if (sameNameIgnoringCase(candidate.filename().string(), wanted) && isKind(candidate, kind)) {
      matches.push_back(candidate);
    }
  }
  if (matches.empty()) {
    return exact;
  }
  return *std::min_element(matches.begin(), matches.end());
}

void recordProblem(SeedResult& result, std::string text) {
  if (result.ok) {
    result.ok = false;
    result.problem = std::move(text);
  }
}

bool makeFolder(const fs::path& folder, SeedResult& result) {
  if (isKind(folder, EntryKind::Folder)) {
    return true;
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !isKind(folder, EntryKind::Folder)) {
    recordProblem(result, "Cannot create the folder " + folder.string() + ": " +
                              (ec ? ec.message() : std::string("not a folder")));
    return false;
  }
  return true;
}

// Copies through a temporary file, so a failed copy leaves no half file
// behind that a later start would take for the user's own.
bool copyFile(const fs::path& from, const fs::path& to, SeedResult& result) {
  const FileHandle in(std::fopen(from.c_str(), "rb"));
  AtomicFileWriter writer(to);
  bool ok = in != nullptr && writer.open();
  char buffer[8192];
  while (ok) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, in.get());
    if (got > 0 && std::fwrite(buffer, 1, got, writer.file()) != got) {
      ok = false;
    }
    if (got < sizeof buffer) {
      ok = ok && std::ferror(in.get()) == 0;
      break;
    }
  }
  if (ok) {
    ok = writer.commit();
  }
  if (!ok) {
    const std::string why = in == nullptr                ? std::string("cannot read it")
                            : writer.errorText().empty() ? std::string("write failed")
                                                         : writer.errorText();
    recordProblem(result, "Cannot copy " + from.string() + " to " + to.string() + ": " + why);
  }
  return ok;
}

enum class LooseFiles { Skip, Copy };

// Copies what `from` holds into the existing folder `to`, folder by folder,
// leaving every name the user already has alone. Files directly in `from` are
// copied only with LooseFiles::Copy; those in its subfolders always are.
void copyMissing(const fs::path& from, const fs::path& to, LooseFiles looseFiles,
                 SeedResult& result) {
  std::error_code ec;
  for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& source = it->path();
    const fs::path name = source.filename();
    if (isKind(source, EntryKind::Folder)) {
      const fs::path target = findDataFolder(to, name);
      if (makeFolder(target, result)) {
        copyMissing(source, target, LooseFiles::Copy, result);
      }
      continue;
    }
    if (looseFiles == LooseFiles::Skip) {
      continue;
    }
    std::error_code existsError;
    const bool present =
        isKind(findDataFile(to, name), EntryKind::File) || fs::exists(to / name, existsError);
    if (!present) {
      copyFile(source, to / name, result);
    }
  }
  if (ec) {
    recordProblem(result, "Cannot read the folder " + from.string() + ": " + ec.message());
  }
}

bool holdsFactoryDefaults(const fs::path& folder) {
  return !folder.empty() &&
         isKind(findDataFile(findDataFolder(folder, "Private"), "default.set"), EntryKind::File);
}

fs::path homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return home;
  }
  // $HOME can be missing under service managers; the password entry still knows.
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return {};
}

}  // namespace

bool isExistingFile(const fs::path& path) { return isKind(path, EntryKind::File); }

char foldedAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return foldedAscii(x) == foldedAscii(y); });
}

fs::path findDataFolder(const fs::path& parent, const fs::path& name) {
  fs::path current = parent;
  for (const fs::path& part : name.relative_path()) {
    if (!part.empty()) {
      current = findEntry(current, part, EntryKind::Folder);
    }
  }
  return current;
}

fs::path findDataFile(const fs::path& folder, const fs::path& name) {
  const fs::path parent =
      name.has_parent_path() ? findDataFolder(folder, name.parent_path()) : folder;
  return findEntry(parent, name.filename(), EntryKind::File);
}

SeedResult seedProgramFolder(const fs::path& folder, const fs::path& shippedData) {
  SeedResult result;
  if (!makeFolder(folder, result)) {
    return result;
  }
  for (const std::string_view name : kDataFolderNames) {
    makeFolder(findDataFolder(folder, fs::path(name)), result);
  }
  if (shippedData.empty()) {
    return result;
  }
  if (!isKind(shippedData, EntryKind::Folder)) {
    recordProblem(result, "Cannot find the factory files in " + shippedData.string());
    return result;
  }
  // Only the shipped folders are copied; a loose file beside them (a README)
  // is no factory setting.
  copyMissing(shippedData, folder, LooseFiles::Skip, result);
  return result;
}

ProgramFolderSearch programFolderSearchFromEnvironment(fs::path option, fs::path shippedData) {
  ProgramFolderSearch search;
  search.option = std::move(option);
  if (const char* value = std::getenv(kProgramFolderVariable); value != nullptr) {
    search.environment = value;
  }
  std::error_code ec;
  search.workingDirectory = fs::current_path(ec);
  search.home = homeFolder();
  search.shippedData = std::move(shippedData);
  return search;
}

ProgramFolder locateProgramFolder(const ProgramFolderSearch& search) {
  ProgramFolder result;
  // Relative names are fixed to the start-up directory, as later commands may
  // work elsewhere.
  if (!search.option.empty()) {
    result.path = search.workingDirectory / search.option;
    result.source = ProgramFolderSource::Option;
  } else if (!search.environment.empty()) {
    result.path = search.workingDirectory / search.environment;
    result.source = ProgramFolderSource::Environment;
  } else if (holdsFactoryDefaults(search.workingDirectory)) {
    result.path = search.workingDirectory;
    result.source = ProgramFolderSource::WorkingDirectory;
    return result;
  } else if (search.home.empty()) {
    result.ok = false;
    result.problem = "There is no home folder to keep the program folder in";
    return result;
  } else {
    result.path = findDataFolder(search.home, fs::path(kHomeProgramFolderName));
    result.source = ProgramFolderSource::Home;
  }
  const SeedResult seed = seedProgramFolder(result.path, search.shippedData);
  result.ok = seed.ok;
  result.problem = seed.problem;
  return result;
}

}  // namespace melovantis
