#pragma once

// Status byte of a module reply.
namespace ReplyStatus {
enum : unsigned char {
    WrongChecksum = 1,
    InvalidCommand = 2,
    WrongType = 3,
    InvalidValue = 4,
    ConfigurationLocked = 5,
    NotAvailable = 6,
    VerifyError = 7,
    WriteProtected = 8,
    NotPossibleNow = 10,
    Ok = 100,
    Stored = 101,
};
}
