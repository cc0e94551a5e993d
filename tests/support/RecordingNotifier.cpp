#include "support/RecordingNotifier.h"

namespace melovantis::test {

void RecordingNotifier::message(std::string_view text, std::string_view caption, MessageIcon icon) {
  entries.push_back({std::string(text), std::string(caption), icon, false});
}

bool RecordingNotifier::askYesNo(std::string_view text, std::string_view caption,
                                 MessageIcon icon) {
  entries.push_back({std::string(text), std::string(caption), icon, true});
  if (answers_.empty()) {
    return false;
  }
  const bool yes = answers_.front();
  answers_.pop_front();
  return yes;
}

void RecordingNotifier::fatal(std::string_view text) {
  entries.push_back({std::string(text), "", MessageIcon::Error, false});
  throw FatalErrorRaised(std::string(text));
}

}  // namespace melovantis::test
