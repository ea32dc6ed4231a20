// Preprocessor iteration for AJSON: turns the member list a, b, c of a
// record T into &T::a, &T::b, &T::c. Records may have up to 64 members.
#pragma once

#define AJSON_PP_CAT(a, b) AJSON_PP_CAT_I(a, b)
#define AJSON_PP_CAT_I(a, b) a##b

#define AJSON_PP_COUNT(...)                                                                        \
    AJSON_PP_COUNT_I(__VA_ARGS__, 64, 63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49,  \
                     48, 47, 46, 45, 44, 43, 42, 41, 40, 39, 38, 37, 36, 35, 34, 33, 32, 31, 30,   \
                     29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11,   \
                     10, 9, 8, 7, 6, 5, 4, 3, 2, 1, )
#define AJSON_PP_COUNT_I(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, _14, _15, _16,    \
                         _17, _18, _19, _20, _21, _22, _23, _24, _25, _26, _27, _28, _29, _30,     \
                         _31, _32, _33, _34, _35, _36, _37, _38, _39, _40, _41, _42, _43, _44,     \
                         _45, _46, _47, _48, _49, _50, _51, _52, _53, _54, _55, _56, _57, _58,     \
                         _59, _60, _61, _62, _63, _64, N, ...)                                     \
    N

#define AJSON_PP_MEMBER_POINTERS(T, ...)                                                           \
    AJSON_PP_CAT(AJSON_PP_MP_, AJSON_PP_COUNT(__VA_ARGS__))(T, __VA_ARGS__)
#define AJSON_PP_MP_1(T, m) &T::m
#define AJSON_PP_MP_2(T, m, ...) &T::m, AJSON_PP_MP_1(T, __VA_ARGS__)
#define AJSON_PP_MP_3(T, m, ...) &T::m, AJSON_PP_MP_2(T, __VA_ARGS__)
#define AJSON_PP_MP_4(T, m, ...) &T::m, AJSON_PP_MP_3(T, __VA_ARGS__)
#define AJSON_PP_MP_5(T, m, ...) &T::m, AJSON_PP_MP_4(T, __VA_ARGS__)
#define AJSON_PP_MP_6(T, m, ...) &T::m, AJSON_PP_MP_5(T, __VA_ARGS__)
#define AJSON_PP_MP_7(T, m, ...) &T::m, AJSON_PP_MP_6(T, __VA_ARGS__)
#define AJSON_PP_MP_8(T, m, ...) &T::m, AJSON_PP_MP_7(T, __VA_ARGS__)
#define AJSON_PP_MP_9(T, m, ...) &T::m, AJSON_PP_MP_8(T, __VA_ARGS__)
#define AJSON_PP_MP_10(T, m, ...) &T::m, AJSON_PP_MP_9(T, __VA_ARGS__)
#define AJSON_PP_MP_11(T, m, ...) &T::m, AJSON_PP_MP_10(T, __VA_ARGS__)
#define AJSON_PP_MP_12(T, m, ...) &T::m, AJSON_PP_MP_11(T, __VA_ARGS__)
#define AJSON_PP_MP_13(T, m, ...) &T::m, AJSON_PP_MP_12(T, __VA_ARGS__)
#define AJSON_PP_MP_14(T, m, ...) &T::m, AJSON_PP_MP_13(T, __VA_ARGS__)
#define AJSON_PP_MP_15(T, m, ...) &T::m, AJSON_PP_MP_14(T, __VA_ARGS__)
#define AJSON_PP_MP_16(T, m, ...) &T::m, AJSON_PP_MP_15(T, __VA_ARGS__)
#define AJSON_PP_MP_17(T, m, ...) &T::m, AJSON_PP_MP_16(T, __VA_ARGS__)
#define AJSON_PP_MP_18(T, m, ...) &T::m, AJSON_PP_MP_17(T, __VA_ARGS__)
#define AJSON_PP_MP_19(T, m, ...) &T::m, AJSON_PP_MP_18(T, __VA_ARGS__)
#define AJSON_PP_MP_20(T, m, ...) &T::m, AJSON_PP_MP_19(T, __VA_ARGS__)
#define AJSON_PP_MP_21(T, m, ...) &T::m, AJSON_PP_MP_20(T, __VA_ARGS__)
#define AJSON_PP_MP_22(T, m, ...) &T::m, AJSON_PP_MP_21(T, __VA_ARGS__)
#define AJSON_PP_MP_23(T, m, ...) &T::m, AJSON_PP_MP_22(T, __VA_ARGS__)
#define AJSON_PP_MP_24(T, m, ...) &T::m, AJSON_PP_MP_23(T, __VA_ARGS__)
#define AJSON_PP_MP_25(T, m, ...) &T::m, AJSON_PP_MP_24(T, __VA_ARGS__)
#define AJSON_PP_MP_26(T, m, ...) &T::m, AJSON_PP_MP_25(T, __VA_ARGS__)
#define AJSON_PP_MP_27(T, m, ...) &T::m, AJSON_PP_MP_26(T, __VA_ARGS__)
#define AJSON_PP_MP_28(T, m, ...) &T::m, AJSON_PP_MP_27(T, __VA_ARGS__)
#define AJSON_PP_MP_29(T, m, ...) &T::m, AJSON_PP_MP_28(T, __VA_ARGS__)
#define AJSON_PP_MP_30(T, m, ...) &T::m, AJSON_PP_MP_29(T, __VA_ARGS__)
#define AJSON_PP_MP_31(T, m, ...) &T::m, AJSON_PP_MP_30(T, __VA_ARGS__)
#define AJSON_PP_MP_32(T, m, ...) &T::m, AJSON_PP_MP_31(T, __VA_ARGS__)
#define AJSON_PP_MP_33(T, m, ...) &T::m, AJSON_PP_MP_32(T, __VA_ARGS__)
#define AJSON_PP_MP_34(T, m, ...) &T::m, AJSON_PP_MP_33(T, __VA_ARGS__)
#define AJSON_PP_MP_35(T, m, ...) &T::m, AJSON_PP_MP_34(T, __VA_ARGS__)
#define AJSON_PP_MP_36(T, m, ...) &T::m, AJSON_PP_MP_35(T, __VA_ARGS__)
#define AJSON_PP_MP_37(T, m, ...) &T::m, AJSON_PP_MP_36(T, __VA_ARGS__)
#define AJSON_PP_MP_38(T, m, ...) &T::m, AJSON_PP_MP_37(T, __VA_ARGS__)
#define AJSON_PP_MP_39(T, m, ...) &T::m, AJSON_PP_MP_38(T, __VA_ARGS__)
#define AJSON_PP_MP_40(T, m, ...) &T::m, AJSON_PP_MP_39(T, __VA_ARGS__)
#define AJSON_PP_MP_41(T, m, ...) &T::m, AJSON_PP_MP_40(T, __VA_ARGS__)
#define AJSON_PP_MP_42(T, m, ...) &T::m, AJSON_PP_MP_41(T, __VA_ARGS__)
#define AJSON_PP_MP_43(T, m, ...) &T::m, AJSON_PP_MP_42(T, __VA_ARGS__)
#define AJSON_PP_MP_44(T, m, ...) &T::m, AJSON_PP_MP_43(T, __VA_ARGS__)
#define AJSON_PP_MP_45(T, m, ...) &T::m, AJSON_PP_MP_44(T, __VA_ARGS__)
#define AJSON_PP_MP_46(T, m, ...) &T::m, AJSON_PP_MP_45(T, __VA_ARGS__)
#define AJSON_PP_MP_47(T, m, ...) &T::m, AJSON_PP_MP_46(T, __VA_ARGS__)
#define AJSON_PP_MP_48(T, m, ...) &T::m, AJSON_PP_MP_47(T, __VA_ARGS__)
#define AJSON_PP_MP_49(T, m, ...) &T::m, AJSON_PP_MP_48(T, __VA_ARGS__)
#define AJSON_PP_MP_50(T, m, ...) &T::m, AJSON_PP_MP_49(T, __VA_ARGS__)
#define AJSON_PP_MP_51(T, m, ...) &T::m, AJSON_PP_MP_50(T, __VA_ARGS__)
#define AJSON_PP_MP_52(T, m, ...) &T::m, AJSON_PP_MP_51(T, __VA_ARGS__)
#define AJSON_PP_MP_53(T, m, ...) &T::m, AJSON_PP_MP_52(T, __VA_ARGS__)
#define AJSON_PP_MP_54(T, m, ...) &T::m, AJSON_PP_MP_53(T, __VA_ARGS__)
#define AJSON_PP_MP_55(T, m, ...) &T::m, AJSON_PP_MP_54(T, __VA_ARGS__)
#define AJSON_PP_MP_56(T, m, ...) &T::m, AJSON_PP_MP_55(T, __VA_ARGS__)
#define AJSON_PP_MP_57(T, m, ...) &T::m, AJSON_PP_MP_56(T, __VA_ARGS__)
#define AJSON_PP_MP_58(T, m, ...) &T::m, AJSON_PP_MP_57(T, __VA_ARGS__)
#define AJSON_PP_MP_59(T, m, ...) &T::m, AJSON_PP_MP_58(T, __VA_ARGS__)
#define AJSON_PP_MP_60(T, m, ...) &T::m, AJSON_PP_MP_59(T, __VA_ARGS__)
#define AJSON_PP_MP_61(T, m, ...) &T::m, AJSON_PP_MP_60(T, __VA_ARGS__)
#define AJSON_PP_MP_62(T, m, ...) &T::m, AJSON_PP_MP_61(T, __VA_ARGS__)
#define AJSON_PP_MP_63(T, m, ...) &T::m, AJSON_PP_MP_62(T, __VA_ARGS__)
#define AJSON_PP_MP_64(T, m, ...) &T::m, AJSON_PP_MP_63(T, __VA_ARGS__)
