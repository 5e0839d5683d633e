#pragma once

// Request commands that only the host sends to a module (the command byte of a request).
namespace ModuleCommand {
enum : unsigned char {
    ApplStop = 128,
    ApplRun = 129,
    ApplStep = 130,
    ApplReset = 131,
    DownloadStart = 132,
    DownloadEnd = 133,
    ReadMem = 134,
    GetStatus = 135,
    Breakpoint = 141,
};
}

// Status byte of a module's reply.
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

// Opcodes of the instructions the link and the virtual module refer to by name.
namespace Opcode {
enum : unsigned char {
    ROR = 1, ROL = 2, MST = 3, MVP = 4, SAP = 5, GAP = 6, STAP = 7, RSAP = 8,
    SGP = 9, GGP = 10, STGP = 11, RSGP = 12, RFS = 13, SIO = 14, GIO = 15,
    SAPX = 16, GAPX = 17, AAPX = 18, CALC = 19, COMP = 20, JC = 21, JA = 22,
    CSUB = 23, RSUB = 24, EI = 25, DI = 26, WAIT = 27, STOP = 28, SAC = 29,
    SCO = 30, GCO = 31, CCO = 32, CALCX = 33, AAP = 34, AGP = 35, CLE = 36,
    VECT = 37, RETI = 38, ACO = 39, CALCVV = 40, CALCVA = 41, CALCAV = 42,
    CALCVX = 43, CALCXV = 44, CALCV = 45, MVPA = 46, MVPXA = 47, RST = 48,
    DJNZ = 49, ROLA = 50, RORA = 51, ROLXA = 52, RORXA = 53, MSTX = 54,
    SIV = 55, GIV = 56, AIV = 57, UF0 = 64, UF15 = 79, CALL = 80,
};
}
