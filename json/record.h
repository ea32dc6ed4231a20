// Declaring a record to the codec: once per record, right after the struct,
// at global namespace scope (the macro opens namespace ajson itself).
//
//   namespace LCD::ProtoModel {
//   struct s_RGB { int R = 50; int G = 50; int B = 50; };
//   }
//   AJSON(LCD::ProtoModel::s_RGB, R, G, B)
//
// The rules:
//   - the names are the record's members, every one of them, in declaration
//     order; a member left out or named twice does not compile
//   - the k-th name is the JSON key of the k-th member, for reading and
//     writing alike; the field-list string is exactly #__VA_ARGS__ ("R, G, B")
//   - reading takes keys in any order, skips unknown ones and leaves a
//     member whose key is absent as it was; writing puts every member in
//     list order
//   - the record is a plain struct (an aggregate, no base); its members are
//     of types the codec knows, other records included; up to 64 members
//
// The macro specialises ajson::json_impl<TYPE> with:
//   this_field_list()        the names, split once at first use
//   members()                the member pointers, in list order
//   keys                     {"a": ,"b": ... made at compile time (json/field_list.h)
//   json_helper{rec}.read_() reads an object into rec in place
//   read(reader&, TYPE&)     / write(lite_write<S>&, const TYPE&)
#pragma once

#include <tuple>
#include <type_traits>
#include <vector>

#include "json/field_list.h"
#include "json/member_count.h"
#include "json/pp_for_each.h"
#include "json/record_read.h"
#include "json/record_write.h"
#include "json/traits.h"

#define AJSON(TYPE, ...)                                                                           \
    namespace ajson {                                                                              \
    template <>                                                                                    \
    struct json_impl<TYPE> {                                                                       \
        using record = TYPE;                                                                       \
        static const std::vector<detail::string_ref>& this_field_list() {                          \
            static const std::vector<detail::string_ref> fields =                                  \
                detail::split_fields(#__VA_ARGS__);                                                \
            return fields;                                                                         \
        }                                                                                          \
        static constexpr auto members() noexcept {                                                 \
            return std::make_tuple(AJSON_PP_MEMBER_POINTERS(TYPE, __VA_ARGS__));                   \
        }                                                                                          \
        static constexpr auto keys =                                                               \
            detail::make_key_table<detail::count_fields(#__VA_ARGS__),                             \
                                   detail::key_table_bytes(#__VA_ARGS__)>(#__VA_ARGS__);           \
        struct json_helper {                                                                       \
            TYPE& self;                                                                            \
            void read_(reader& rd) { detail::read_record<json_impl>(rd, self); }                   \
        };                                                                                         \
        static void read(reader& rd, TYPE& v) { json_helper{v}.read_(rd); }                        \
        template <class W>                                                                         \
        static void write(W& w, const TYPE& v) {                                                   \
            detail::write_record<json_impl>(w, v);                                                 \
        }                                                                                          \
    };                                                                                             \
    static_assert(std::is_aggregate<TYPE>::value && !std::is_polymorphic<TYPE>::value,             \
                  "AJSON(" #TYPE "): a record is a plain struct");                                 \
    static_assert(detail::fields_unique(#__VA_ARGS__),                                             \
                  "AJSON(" #TYPE "): a member is named twice");                                    \
    static_assert(detail::aggregate_members<TYPE>() == detail::count_fields(#__VA_ARGS__),         \
                  "AJSON(" #TYPE "): the names must be all of the record's members");              \
    }
