#pragma once
// The harness of the end-to-end tests: runs the built tradepl on small Shift_JIS logs
// written by each test, and hands back the result file, the exit status and the messages.
//
// The same tests run the Windows build under Wine: TRADEPL_EXECUTABLE names the .exe,
// TRADEPL_RUNNER the command that runs it, TRADEPL_LINE_END=crlf says that text it
// writes ends its lines with CR LF, which is checked before the expected bytes, written
// with LF, are compared, and TRADEPL_CONSOLE_ENCODING names the code page its messages
// arrive in (CP932 on a Japanese Windows), which is decoded to the UTF-8 the tests expect.

#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "log_lines.hpp"

namespace tradepl::testing {

namespace fs = std::filesystem;

inline const std::string kResultHeading = kResultHeadingText + "\n";

inline const std::string kUsage =
    "Usage: [-g i_zelGenbutsu_log.csv] [-s i_zelShinyo_log.csv] o_log.csv\n"
    "\t--- i_zelGenbutsu_log.csv ---\n"
    "\t\x96\xF1\x92\xE8\x93\xFA\x8E\x9E,\x96\xF1\x92\xE8\x94\xD4\x8D\x86,"
    "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68,\x96\xC1\x95\xBF\x96\xBC,"
    "\x8E\xE6\x88\xF8\x8B\xE6\x95\xAA,\x94\x84\x94\x83\x8B\xE6\x95\xAA,\x8E\x73\x8F\xEA,"
    "\x8C\xFB\x8D\xC0,\x96\xF1\x92\xE8\x90\x94\x97\xCA,\x96\xF1\x92\xE8\x92\x50\x89\xBF,"
    "\x8E\xE8\x90\x94\x97\xBF,\x8E\xE8\x90\x94\x97\xBF\x8F\xC1\x94\xEF\x90\xC5,"
    "\x8E\xF3\x93\x6E\x8B\xE0\x8A\x7A,\x8E\xF3\x97\xCC\x93\xFA\n"
    "\t...\n"
    "\t--- i_zelShinyo_log.csv ---\n"
    "\t\x96\xF1\x92\xE8\x93\xFA\x8E\x9E,\x96\xF1\x92\xE8\x94\xD4\x8D\x86,"
    "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68,\x96\xC1\x95\xBF\x96\xBC,"
    "\x8E\xE6\x88\xF8\x8B\xE6\x95\xAA,\x94\x84\x94\x83\x8B\xE6\x95\xAA,\x8E\x73\x8F\xEA,"
    "\x8C\xFB\x8D\xC0,\x90\x4D\x97\x70\x8B\xE6\x95\xAA,\x96\xF1\x92\xE8\x90\x94\x97\xCA,"
    "\x96\xF1\x92\xE8\x92\x50\x89\xBF,\x8E\xE8\x90\x94\x97\xBF,"
    "\x8E\xE8\x90\x94\x97\xBF\x8F\xC1\x94\xEF\x90\xC5,\x8C\x9A\x90\x94\x97\xCA,"
    "\x8C\x9A\x92\x50\x89\xBF,\x90\x56\x8B\x4B\x8E\xE8\x90\x94\x97\xBF,"
    "\x90\x56\x8B\x4B\x8E\xE8\x90\x94\x97\xBF\x8F\xC1\x94\xEF\x90\xC5,\x8A\xC7\x97\x9D\x94\xEF,"
    "\x96\xBC\x8B\x60\x8F\x91\x8A\xB7\x97\xBF,\x8B\xE0\x97\x98,\x91\xDD\x8A\x94\x97\xBF,"
    "\x95\x69\x91\xDD\x97\xBF,\x8E\xF3\x93\x6E\x8B\xE0\x8A\x7A,\x8E\xF3\x97\xCC\x93\xFA\n"
    "\t...\n";

inline const std::string kToyotaName(kToyota);
inline const std::string kTokuteiInUtf8 = "\xE7\x89\xB9\xE5\xAE\x9A";  // 特定, as messages show it

inline std::string lines(const std::vector<std::string>& each) {
  std::string text;
  for (const std::string& line : each) text += line + "\n";
  return text;
}

inline std::string spotLog(const std::vector<SpotTrade>& trades) {
  std::string text = "heading\n";
  for (const SpotTrade& trade : trades) text += trade.line() + "\n";
  return text;
}

inline const char* environment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

inline const std::string kExecutable = environment("TRADEPL_EXECUTABLE", TRADEPL_EXECUTABLE);
inline const std::string kRunner = environment("TRADEPL_RUNNER", "");
inline const bool kCrLf = std::string_view(environment("TRADEPL_LINE_END", "lf")) == "crlf";
inline const std::string kConsoleEncoding = environment("TRADEPL_CONSOLE_ENCODING", "UTF-8");
inline const bool kUnderWine = !kRunner.empty();
// The locales a run is given: English by default, Japanese where a test asks for it. Wine
// takes its display language from LC_MESSAGES and its code page from LANG, so under Wine
// the English one is a Japanese Windows whose display language is English.
inline const std::string kEnglish =
    environment("TRADEPL_ENGLISH_LOCALE", "LC_ALL= LC_MESSAGES= LANG=C.UTF-8");
inline const std::string kJapanese = "LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8";

// Text in encoding `from` as encoding `to`.
inline std::string recode(const std::string& bytes, const std::string& from,
                          const std::string& to) {
  if (from == to) return bytes;
  const iconv_t converter = iconv_open(to.c_str(), from.c_str());
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
  std::string text(bytes.size() * 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* out = text.data();
  std::size_t outLeft = text.size();
  EXPECT_NE(iconv(converter, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1));
  iconv_close(converter);
  text.resize(text.size() - outLeft);
  return text;
}

// Text in `encoding` as UTF-8.
inline std::string toUtf8(const std::string& bytes, const std::string& encoding) {
  return recode(bytes, encoding, "UTF-8");
}

// Messages as the tests spell them, in UTF-8.
inline std::string fromConsole(const std::string& bytes) {
  return toUtf8(bytes, kConsoleEncoding);
}

// Text as the tests expect it, with LF line ends. Where the program writes CR LF, every LF
// must come after a CR, and those pairs are read as LF.
inline std::string withLfLineEnds(const std::string& written) {
  if (!kCrLf) return written;
  std::string text;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\n') {
      EXPECT_TRUE(i > 0 && written[i - 1] == '\r') << "a bare LF at byte " << i;
      if (!text.empty() && text.back() == '\r') text.pop_back();
    }
    text += written[i];
  }
  return text;
}

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
};

// What goes around the command: the environment before it (English by default), and
// redirections after it (which replace the capture of the streams they name).
struct Around {
  std::string environment = kEnglish;
  std::string redirections;
};

class Tradepl : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tradepl-e2e-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "work");
    fs::create_directories(root_ / "console");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(root_ / "work", fs::perms::owner_all, ignored);
    fs::remove_all(root_, ignored);
  }

  fs::path path(const std::string& name) const { return root_ / "work" / name; }

  // The work folder readable by anyone whatever the umask, and `files` in it: root runs an
  // ordinary user's cases as nobody (kAsNobody).
  void letAnyoneRead(const std::vector<std::string>& files = {}) const {
    for (const fs::path& folder : {root_, root_ / "work"}) {
      fs::permissions(folder, fs::perms::others_read | fs::perms::others_exec,
                      fs::perm_options::add);
    }
    for (const std::string& file : files) {
      fs::permissions(path(file), fs::perms::others_read, fs::perm_options::add);
    }
  }
  // The words that run the command after them as nobody, a user without root's rights.
  static constexpr const char* kAsNobody = " setpriv --reuid=65534 --regid=65534 --clear-groups";

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const { return slurp(path(name)); }
  // The sample logs shipped with the program, under the names a user would give them.
  void writeSampleLogs() const {
    write("spot.csv", slurp(fs::path(TRADEPL_EXAMPLES) / "spot.csv"));
    write("margin.csv", slurp(fs::path(TRADEPL_EXAMPLES) / "margin.csv"));
  }
  // A file tradepl wrote, with its line ends as the tests spell them.
  std::string written(const std::string& name) const { return withLfLineEnds(read(name)); }
  bool exists(const std::string& name) const { return fs::exists(path(name)); }
  std::vector<std::string> filesInWork() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root_ / "work")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs tradepl in the work folder with these arguments.
  Outcome run(const std::vector<std::string>& arguments, const Around& around = {}) const {
    std::ofstream(root_ / "console" / "out", std::ios::trunc);
    std::ofstream(root_ / "console" / "err", std::ios::trunc);
    const std::string command =
        "cd " + quote((root_ / "work").string()) + " && " + commandLine(arguments, around) + " >" +
        quote((root_ / "console" / "out").string()) + " 2>" +
        quote((root_ / "console" / "err").string()) + " " + around.redirections;
    const int wait = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(wait)) << command;
    return {static_cast<std::int8_t>(WEXITSTATUS(wait)),
            withLfLineEnds(slurp(root_ / "console" / "out")),
            fromConsole(withLfLineEnds(slurp(root_ / "console" / "err")))};
  }

  // The shell's words that start tradepl with these arguments.
  static std::string commandLine(const std::vector<std::string>& arguments,
                                 const Around& around = {}) {
    std::string command = around.environment + " " + kRunner + " " + quote(kExecutable);
    for (const std::string& argument : arguments) command += " " + quote(argument);
    return command;
  }

  // Runs a shell script in the work folder and returns its status.
  int shell(const std::string& script) const {
    const std::string command = "cd " + quote((root_ / "work").string()) + " || exit 99; " + script;
    const int wait = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(wait)) << command;
    return WEXITSTATUS(wait);
  }

 protected:
  static std::string quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }
  static std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

 private:
  fs::path root_;
};

}  // namespace tradepl::testing
