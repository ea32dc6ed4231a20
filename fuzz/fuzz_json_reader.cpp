// Arbitrary bytes through the tokenizer, skip and every typed reader, with
// and without a length limit. Beyond the sanitizers it checks that the
// reader never passes the limit and always comes to the end, and that a
// record read in place is the record scanning reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/codec.h"
#include "json/ajson.h"

// Outside an anonymous namespace: the record's field list would otherwise be
// an unused internal constant.
namespace fuzz_sample {

struct Sample {
    std::string name;
    std::uint32_t count = 0;
    std::uint16_t code = 0;
    std::vector<int> values;
};

} // namespace fuzz_sample

AJSON(fuzz_sample::Sample, name, count, code, values)

namespace {

using fuzz_sample::Sample;

// Every next() consumes at least one character, so a scan ends within
// length + 1 tokens; more means it loops.
void scan_all(const char* text, std::uint64_t limit, std::size_t readable) {
    ajson::reader rd(text, limit);
    std::size_t tokens = 0;
    try {
        for (rd.next(); rd.current().kind != ajson::token::end; rd.next()) {
            if (++tokens > readable + 1 || rd.offset() > readable)
                std::abort();
        }
    } catch (const ajson::exception&) {
    }
    if (rd.offset() > readable)
        std::abort();
}

// The first value of `text` read as each of the types in turn.
template <class... T>
void read_as(const char* text, std::uint64_t limit) {
    const auto read = [&](auto value) {
        try {
            ajson::reader rd(text, limit);
            rd.next();
            ajson::json_impl<decltype(value)>::read(rd, value);
        } catch (const ajson::exception&) {
        }
    };
    (read(T{}), ...);
}

void skip_first(const char* text, std::uint64_t limit) {
    try {
        ajson::reader rd(text, limit);
        rd.next();
        ajson::skip(rd);
    } catch (const ajson::exception&) {
    }
}

// The sample read in place and by scanning alone (a limit that no text
// reaches): the same error text and the same values.
void read_both_ways(const std::string& text) {
    Sample in_place, scanned;
    const std::string err1 = testsupport::read_into(text, in_place);
    const std::string err2 =
        testsupport::read_into(text, scanned, nullptr, ajson::reader::scanning_only);
    if (err1 != err2 || in_place.name != scanned.name || in_place.count != scanned.count ||
        in_place.code != scanned.code || in_place.values != scanned.values)
        std::abort();
}

void run_all(const char* text, std::uint64_t limit, std::size_t readable) {
    scan_all(text, limit, readable);
    skip_first(text, limit);
    read_as<int, std::uint32_t, std::uint16_t, std::string, std::vector<int>,
            std::vector<std::string>, Sample, std::vector<Sample>>(text, limit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The whole input, NUL-terminated.
    const std::unique_ptr<char[]> whole(new char[size + 1]);
    std::memcpy(whole.get(), data, size);
    whole[size] = '\0';
    run_all(whole.get(), ajson::reader::no_limit, size);
    read_both_ways(whole.get());

    // A limit inside the input: only the bytes up to and including the one at
    // the limit exist, so a read past it is caught by the address sanitizer.
    if (size > 1 && data[0] != '\0') {
        const std::size_t limit = data[size - 1] % size + 1; // 1..size
        const std::size_t n = limit < size ? limit + 1 : size + 1;
        const std::unique_ptr<char[]> part(new char[n]);
        std::memcpy(part.get(), data, n - 1);
        part[n - 1] = limit < size ? static_cast<char>(data[limit]) : '\0';
        run_all(part.get(), limit, limit);
    }
    return 0;
}
