// The readable source of a dictionary, from which the builder writes its
// binary files. UTF-8 text; Japanese text is stored as Shift-JIS (CP932).
//
//   # comment                     (a line starting with '#')
//   @dir NAME                     create the directory NAME (may stay empty)
//   @records DATA/KX01            a record file pair: DATA/KX01.DAT, .INF
//   @record                       a new record; the lines up to the next
//                                 directive are its text, joined with CR
//   @style OFF LEN CODE           a style span, appended to the record's table
//   @link OFF LEN KIND TARGET LABEL
//   @anchor NAME OFF
//   @table DATA/KXLINK01.TBL      a link-name table; one stem per line
//   @list LIST/d100000.lst        a list; one entry per line:
//                                 POS [KEY]  where POS is REC:OFF, or
//                                 -1/ALT:OFF (record field 0xFFFFFFFF), or
//                                 MARK or MARK+N (a position mark)
//
// Inside record text, stems, keys and labels:
//   \r CR   \n LF   \t TAB   \0 NUL   \xHH a byte   \g{HHHH} a two-byte code
//   \\ \{ \} \@ \# \: \space   the character itself
// Inline markup in record text, offsets computed by the builder:
//   {i:TEXT} {b:TEXT} {sub:TEXT} {s:CODE:TEXT}        style spans 4, 5, 100, any
//   {a1:LABEL:TEXT} {a2:TARGET:LABEL:TEXT} {a10001:TARGET:LABEL:TEXT}
//   {img:N:TEXT} {use:N:TEXT} {obj:N:TEXT}            kinds 20001, 20003, 30001
//   {link:KIND:TARGET:LABEL:TEXT}                     any kind
//   {#NAME}   an anchor here          {@MARK}  a position mark here
// A record's text has no CR after its last line; end the line with \r to
// give it one.
#ifndef HZ2HTML_TOOLS_DICT_SOURCE_H_
#define HZ2HTML_TOOLS_DICT_SOURCE_H_

#include <string>

#include "tools/dict_builder.h"

namespace hzb {

// UTF-8 to Shift-JIS (CP932). False when the text has no CP932 form.
bool ToShiftJis(const std::string& utf8, std::string* sjis);

// Parses source into builder. False, with "line N: reason" in *error, on a
// malformed source.
bool ParseDictSource(const std::string& source, DictBuilder* builder, std::string* error);

// Parses the source and writes the dictionary under dir.
bool BuildDictionary(const std::string& source, const std::string& dir, std::string* error);

}  // namespace hzb

#endif  // HZ2HTML_TOOLS_DICT_SOURCE_H_
