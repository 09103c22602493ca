#pragma once

/**
 * Field data types the data-access layer reports, named after the provider's
 * types so the structure model can map them one by one.
 */
enum class TXFieldType {
    Unknown,
    String,
    WideString,
    SmallInt,
    Integer,
    Word,
    LargeInt,
    Bytes,
    Float,
    Currency,
    BCD,
    DateTime,
    AutoInc,
    Blob,
    Memo,
    Boolean,
    Date,
    Time,
    VarBytes,
    Graphic,
    FmtMemo,
    FixedChar,
    Guid,
};

/** Types of query and command parameters. */
enum class TXParamType { String, Integer, LargeInt, Float };
