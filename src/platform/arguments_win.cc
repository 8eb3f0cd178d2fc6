#include "platform/arguments.h"

#include <utility>

#include <windows.h>
#include <shellapi.h>

#include "platform/win_text.h"

namespace hz {

ProgramArguments::ProgramArguments(int, char**) {
  std::vector<std::string> args;
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  for (int i = 0; wide && i < n; ++i) {
    std::string sjis;
    if (!ShiftJisFromWide(wide[i], &sjis) && unrepresentable_ == 0 && i > 0) unrepresentable_ = i;
    args.push_back(sjis);
  }
  if (wide) LocalFree(wide);
  Keep(std::move(args));
}

}  // namespace hz
