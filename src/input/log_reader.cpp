#include "input/log_reader.hpp"

#include <algorithm>
#include <string_view>

#include "input/block_lines.hpp"
#include "input/log_survey.hpp"

namespace tradepl {
namespace {

using detail::kBufferSize;
using detail::LogSurvey;

// A log of known size needs no buffer larger than itself; most logs are small.
std::size_t bufferSizeFor(const LogBytes& bytes) {
  const std::optional<std::uint64_t> size = bytes.size();
  return size ? static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, *size + 1))
              : kBufferSize;
}

}  // namespace

LogReader::LogReader(LogBytes& bytes, LogKind log) : bytes_(&bytes) {
  survey(log, LogEncoding::shiftJis);
  if (survey_->encoding != LogEncoding::utf16 || survey_->failure) return;
  detail::DecodedLog decoded =
      detail::decodeUtf16(std::string_view(buffer_.get(), survey_->headBytes), bytes);
  if (!decoded.bytes) {
    survey_->failure = decoded.failure;
    if (decoded.malformed) survey_->refusal = LogRefusal::badUtf16;
    return;
  }
  decoded_ = std::move(decoded.bytes);
  bytes_ = decoded_.get();
  survey(log, LogEncoding::utf8);
  savedIn_ = LogEncoding::utf16;
}

LogReader::~LogReader() = default;

void LogReader::survey(LogKind log, LogEncoding encoding) {
  bufferSize_ = bufferSizeFor(*bytes_);
  buffer_ = std::make_unique_for_overwrite<char[]>(bufferSize_);
  survey_ = std::make_unique<LogSurvey>(
      detail::surveyLog(*bytes_, log, std::span<char>(buffer_.get(), bufferSize_), encoding));
}

LogKind LogReader::kind() const {
  return survey_->kind;
}

LogEncoding LogReader::savedIn() const {
  return savedIn_ == LogEncoding::utf16 ? savedIn_ : survey_->encoding;
}

bool LogReader::recognised() const {
  return survey_->recognised;
}

LogRefusal LogReader::refusal() const {
  return survey_->refusal;
}

LogOrder LogReader::order() const {
  return survey_->order;
}

const FileProblem& LogReader::failure() const {
  return survey_->failure;
}

}  // namespace tradepl
