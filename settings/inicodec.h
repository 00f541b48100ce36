// The text codec the settings files are written and read with: UTF-8, also for
// the characters outside the Basic Multilingual Plane (emoji, the rarer CJK
// characters of the supplementary planes).
//
// The toolkit's INI writer hands a value to its codec one UTF-16 unit at a time,
// without a conversion state, so the plain UTF-8 codec sees each half of a
// surrogate pair alone and drops it. This codec writes the pair as its one
// four-byte UTF-8 sequence instead; a lone surrogate half, which UTF-8 cannot
// hold, is written as QString::toUtf8() writes it ("?").
// Files stay plain UTF-8, so every file written before reads as it did, and
// every reader of the INI format reads the new ones.
#pragma once

class QTextCodec;

namespace ini {

// One codec for the whole process, owned by the toolkit; any thread.
QTextCodec *utf8Codec();

} // namespace ini
