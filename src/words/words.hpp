#pragma once
// The words room: everything the program says to people, in English or in Japanese.
//
//   message.hpp, message_table.hpp  every message by kind, and its texts, one row a message
//   say.hpp          a message with its blanks filled, their number checked as it compiles
//   describe.hpp     why a line, a file or a log could not be used, from tables per problem
//   log_kind_words.hpp  what is said of each kind of log, one row a kind
//   diagnostics.hpp  what is said while the logs are read, each about its file or line, at
//                    most twenty things a log line by line
//   reporter.hpp     the one place that writes "tradepl: FILE:LINE: " to standard error
//   summary.hpp      the summary at the end of a run, with the yearly table (console_table)

#include "words/describe.hpp"
#include "words/diagnostics.hpp"
#include "words/log_kind_words.hpp"
#include "words/reporter.hpp"
#include "words/say.hpp"
#include "words/summary.hpp"
