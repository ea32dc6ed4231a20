// The ajson codec: a pull reader with typed readers, and a compact writer.
//
//   reader.h         ajson::reader, ajson::token        tokens, positions, errors
//   exception.h      ajson::exception                   "error at line :L col :C msg:..."
//   skip.h           ajson::skip                        passing over unwanted values
//   field_list.h     split_fields, make_key_table       record member names
//   hints.h          AJSON_LIKELY, AJSON_UNLIKELY       branch hints
//   traits.h         ajson::json_impl<T>                per-type read/write
//   read.h           readers, escape_string             int, uint32/16, string, vector
//   string_stream.h  ajson_string_stream                output buffer, 1024-byte steps
//   write.h          lite_write, write_str              writers, UTF-8 to ASCII escapes
//   swar.h           load_word, eight_digits            eight characters in a 64-bit word
//   in_place.h       same_bytes, plain_integer_at       reading compact text directly
//   member_count.h   aggregate_members<T>()             members of a struct, counted
//   record_read.h    read_record                        objects into records
//   record_write.h   write_record                       records as objects
//   record.h         AJSON(TYPE, members...)            declaring a record
#pragma once

#include "json/exception.h"
#include "json/field_list.h"
#include "json/hints.h"
#include "json/in_place.h"
#include "json/member_count.h"
#include "json/read.h"
#include "json/reader.h"
#include "json/record.h"
#include "json/record_read.h"
#include "json/record_write.h"
#include "json/skip.h"
#include "json/string_stream.h"
#include "json/swar.h"
#include "json/traits.h"
#include "json/write.h"
