#pragma once
// The documents open at exit, kept in settings.ini and opened again at the
// next start when no file is named: each file with its caret line, and
// which one was active. Files gone meanwhile are dropped with a note.
#include <string>
#include <vector>

#include "platform/SynProfileFile.h"

namespace ludra {

struct TSavedDocument {
  std::string Path;  // absolute
  int CaretLine = 1;
  bool operator==(const TSavedDocument&) const = default;
};

struct TSavedSession {
  std::vector<TSavedDocument> Documents;
  int Active = -1;  // index into Documents, -1 with none
  bool operator==(const TSavedSession&) const = default;
};

// "General" "RestoreSession": whether a start without a named file opens
// the last session's documents (on by default).
bool RestoreSessionEnabled(const TProfileFile& ini);

// Section "Session": "Active", then "File<n>" and "Line<n>" from 1. Empty
// entries are skipped; a bad line reads as 1, a bad active index as the
// first document.
TSavedSession ReadSavedSession(const TProfileFile& ini);
// Replaces the section in one write of the file. A name that a line of the
// file cannot hold (a line break in it) is left out.
void WriteSavedSession(TProfileFile& ini, const TSavedSession& session);

// What a start opens of a saved session: the documents whose files are
// there, the active one still active (else the first kept), and the files
// that are gone.
struct TRestorePlan {
  TSavedSession Open;
  std::vector<std::string> Missing;
};
TRestorePlan PlanRestore(const TSavedSession& saved);

// The status text about the files that are gone, naming at most three
// ("... and 2 more."); empty when none is.
std::string MissingFilesNote(const std::vector<std::string>& missing);

}  // namespace ludra
