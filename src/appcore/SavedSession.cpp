#include "appcore/SavedSession.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "base/SynStrings.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

constexpr char kSection[] = "Session";

// Key names compare as the settings file compares them.
bool SameKey(const std::string& a, const std::string& b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

bool RestoreSessionEnabled(const TProfileFile& ini) {
  return ini.ReadBool("General", "RestoreSession", true);
}

TSavedSession ReadSavedSession(const TProfileFile& ini) {
  TSavedSession session;
  const int active = ini.ReadInteger(kSection, "Active", 1);
  for (int n = 1;; ++n) {
    const std::string number = std::to_string(n);
    if (!ini.ValueExists(kSection, "File" + number)) break;
    const std::string path = ini.ReadLongString(kSection, "File" + number, "");
    if (path.empty()) continue;
    if (n == active) session.Active = static_cast<int>(session.Documents.size());
    session.Documents.push_back({path, std::max(1, ini.ReadInteger(kSection, "Line" + number, 1))});
  }
  if (session.Active < 0 && !session.Documents.empty()) session.Active = 0;
  return session;
}

void WriteSavedSession(TProfileFile& ini, const TSavedSession& session) {
  std::vector<std::pair<std::string, std::optional<std::string>>> values;
  values.emplace_back("Active", std::nullopt);
  int n = 0;
  for (size_t i = 0; i < session.Documents.size(); ++i) {
    const TSavedDocument& document = session.Documents[i];
    if (document.Path.empty() || document.Path.find_first_of("\r\n") != std::string::npos) continue;
    const std::string number = std::to_string(++n);
    values.emplace_back("File" + number, document.Path);
    values.emplace_back("Line" + number, std::to_string(document.CaretLine));
    if (static_cast<int>(i) == session.Active) values[0].second = number;
  }
  // The keys of a longer session before go with it.
  TStringList keys;
  ini.ReadSection(kSection, keys);
  for (int i = 0; i < keys.Count(); ++i) {
    const std::string key = keys.Get(i);
    bool kept = false;
    for (const auto& value : values) kept = kept || SameKey(value.first, key);
    if (!kept) values.emplace_back(key, std::nullopt);
  }
  ini.WriteStrings(kSection, values);
}

TRestorePlan PlanRestore(const TSavedSession& saved) {
  TRestorePlan plan;
  for (size_t i = 0; i < saved.Documents.size(); ++i) {
    const TSavedDocument& document = saved.Documents[i];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(document.Path, ec)) {
      plan.Missing.push_back(document.Path);
      continue;
    }
    if (static_cast<int>(i) == saved.Active)
      plan.Open.Active = static_cast<int>(plan.Open.Documents.size());
    plan.Open.Documents.push_back(document);
  }
  if (plan.Open.Active < 0 && !plan.Open.Documents.empty()) plan.Open.Active = 0;
  return plan;
}

std::string MissingFilesNote(const std::vector<std::string>& missing) {
  if (missing.empty()) return "";
  if (missing.size() == 1)
    return "'" + ExtractFileName(missing[0]) + "' of the last session was not found.";
  std::string names;
  for (size_t i = 0; i < missing.size() && i < 3; ++i)
    names += (i ? ", '" : "'") + ExtractFileName(missing[i]) + "'";
  if (missing.size() > 3) names += " and " + std::to_string(missing.size() - 3) + " more";
  return std::to_string(missing.size()) + " files of the last session were not found: " + names +
         ".";
}

}  // namespace ludra
