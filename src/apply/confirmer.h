// Who answers the path's questions. apply/ shows nothing: the window's presenter asks a person in a box,
// the console's answers from its command line (/force), and neither question is asked under the log's
// lock.
#pragma once

#include <string>

#include "apply/machine_settings.h"

namespace vexa {

class Confirmer {
 public:
  virtual ~Confirmer() = default;
  // A person answers: nothing is held while a question waits, and the log says "经操作员确认".
  virtual bool AsksAPerson() const = 0;
  // A doubt Windows itself would ask about, or a number the log gives another card: true to write anyway.
  virtual bool Overrule(const Notice& doubt) = 0;
  // The log could not be held (busy for a whole wait, or the cafe's log not reached): the question, true to
  // try once more.
  virtual bool WaitLonger(const std::wstring& question) = 0;
};

}  // namespace vexa
