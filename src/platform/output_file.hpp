#pragma once
// Writing the output path as the system keeps it. A regular file is replaced whole: the
// new bytes go to a temporary file in the same folder, readable by its owner alone, which
// is flushed to disk and takes the file's place, with its mode and owner, only once every
// byte is written. A file the user may not write is left alone; one they may write in a
// folder that takes no new file from them is overwritten in place at the commit instead.
// A symbolic link stays a link: the file it points to is the one replaced. A character
// device or a FIFO (/dev/null, a named pipe) is written directly, and an open stream, "-"
// (the standard output) or any other name of one (/dev/stdout, /dev/fd/2), through the
// descriptor the process holds. Until the commit a file already at the path stays as it
// was, and an interrupted run (Ctrl-C, a closed console, SIGTERM) leaves no temporary
// file behind. A run killed outright (SIGKILL) leaves none either while it writes, where the
// temporary file has no name (Linux); only one killed between the naming of the new file
// and its rename, a moment at the commit, leaves it whole as .tradepl-….tmp beside the path.
//
// A symbolic link that another user planted in a shared folder (sticky and writable by all,
// as /tmp) is never followed, as the kernel would not follow it either. A file written in
// place is locked while it is written, so that two runs never write it at once.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace tradepl::platform {

class OutputFile {
 public:
  // Whether the temporary file may be one without a name (O_TMPFILE on Linux), as it is
  // where the system offers it; tests ask for a named one, as other systems have.
  enum class TemporaryName : std::uint8_t { noneWherePossible, always };

  explicit OutputFile(TemporaryName name = TemporaryName::noneWherePossible);
  // A file never committed leaves nothing behind.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Readies `path` for new bytes; returns why it cannot be written, if it cannot.
  FileProblem open(const std::string& path);
  // Writes all of `bytes`; false on failure, with errno set.
  bool write(std::string_view bytes);
  // Does what can fail before the bytes take the path's place, so that a second file can
  // be made ready as well before either is committed: the bytes go to disk, the file gets
  // its mode, and a file written in place is locked against other runs (which are waited
  // for a few seconds). Returns why it could not, if it could not; the path is unchanged.
  FileProblem prepare();
  // Makes the bytes written the path's (prepare() first, if it was not called): returns why
  // it could not, if it could not, and then nothing at the path has changed, unless the
  // copy over a file written in place failed part-way.
  FileProblem commit();
  // The errno of a failure to give the committed file its mode or its owner (those of the
  // file replaced); 0 when it has them. The file is written either way.
  int modeError() const;
  // True when the bytes went over the file itself rather than replacing it whole, as a
  // folder that takes no new file from this user makes it (see open()).
  bool wroteInPlace() const;
  // True when the bytes go straight to the path (a device, a FIFO, an open stream), where
  // what was written before a failure cannot be taken back.
  bool writesDirectly() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// "-": the standard output, not a file of that name.
inline constexpr std::string_view kStandardOutput = "-";

}  // namespace tradepl::platform
