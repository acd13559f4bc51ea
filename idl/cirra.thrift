// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Records exchanged with the local cloud-document service (cirrad) and the
// envelope that carries them over its Unix socket. This file is the single
// source of truth: the C++ classes of src/cirraipc and the Python classes of
// the interoperability test are generated from it at build time.
//
// Fields without a qualifier have the default requiredness: always written,
// optional when read. No field is `optional`: every record writes every field.
// Only the records the shell and the plug-in use are listed.

namespace cpp qoz.cirra
namespace py cirra

// ---------------------------------------------------------------------------
// Generic call

struct CirraIpcArg {
    1: string nameSpace
    2: string method
    3: map<string, string> argMap
}

struct CirraIpcResult {
    1: required i32 state                      // 0 = success
    2: required map<string, string> resultMap
    3: required list<string> resultList
    4: required string resultString
}

// ---------------------------------------------------------------------------
// Storage figures

struct GetStorageInfoArg {
    1: required string userId
    2: map<string, string> extraParam
}

struct GetStorageInfoResult {
    1: required i32 state
    2: required string userId
    3: required i64 usedSize
    4: required i64 totalSize
    5: map<string, string> extraParam
}

// ---------------------------------------------------------------------------
// Cloud items

struct UserAcl {
    1: required bool bRead
    2: required bool bNewEmpty
    3: required bool bUpload
    4: required bool bUpdate
    5: required bool bRename
    6: required bool bMove
    7: required bool bCopy
    8: required bool bShare
    9: required bool bRemove
    10: required bool bDownload
    11: required bool bHistory
    12: required bool bSecret
    13: map<string, string> extraParam
}

struct CloudItem {
    1: string groupId
    2: string parentId
    3: string id
    4: i64 size
    5: string name
    6: string type
    7: string creator
    8: string modifier
    9: i64 ctime
    10: i64 mtime
    11: string cache
    12: bool deleted
    13: i32 fileState
    14: string taskId
    15: i32 progress
    16: double averageSpeed
    17: UserAcl userAcl
    18: string fileId
    19: string tipDescribe
    20: list<string> category
    21: i32 virtualType
    22: bool autoUpdate
    23: i64 cloudVersion
    24: bool syncFolder
    25: string linkGroupId
    26: string originType
    27: string roamingPath
    28: string companyId
    29: i64 shareCTime
    30: map<string, string> extraParam
}

struct GetCloudFileInfoArg {
    1: required string groudId                 // sic: the service spells it so
    2: required string fileId
    3: bool cacheOnly
    4: bool subFileInfo
    5: map<string, string> extraParam
}

struct GetCloudFileInfoResult {
    1: required i32 state
    2: required CloudItem itemInfo
    3: required string path
    4: required string ids
    5: map<string, string> extraParam
}

struct ServerErrorInfo {
    1: string errResult
    2: string errString
    3: map<string, string> extraParam
}

// ---------------------------------------------------------------------------
// Notifications

struct NotifyWebPageEventArg {
    1: string business
    2: string eventName
    3: string message
    4: map<string, string> extraParam
}

struct NotifyActionsMapArg {
    1: required i32 nActionType
    2: required map<string, string> mapArgs
    3: map<string, string> extraParam
}

struct NotifyOpenCloudLocationActionArg {
    1: required string openFrom
    2: required string idPath
    3: required string namePath
    4: required string userId
    5: required string idSelect
    6: required string lastOpenKey
    7: required string fileId
}

// ---------------------------------------------------------------------------
// Wire envelope. A frame on the socket is a 4-byte big-endian length followed
// by one CirraFrame in the binary protocol (strict). Exactly one member is set.

// First frame in each direction. The shell names itself; the service answers
// with its own name, process id and the login state of the shell's user.
struct CirraHello {
    1: i32 protocolVersion
    2: string appName
    3: string appVersion
    4: i64 processId
    5: string userId
    6: string deviceId
    7: string deviceName
    8: string deviceType
    9: string os
    10: list<string> abilities
    11: bool loggedIn
    12: string userName
}

// A request. `record` holds the argument record (binary protocol) whose class
// name is `recordType`; `functionName` is the service function ("cirraIpcCall").
struct CirraCall {
    1: string requestId
    2: string functionName
    3: string recordType
    4: binary record
}

// The answer to one call. `recordType` is empty for functions without answer.
struct CirraReply {
    1: string requestId
    2: bool ok
    3: string recordType
    4: binary record
    5: string error
}

// A service event: `signalName` names it ("broadcast", "notifyWebPageEvent", ...),
// `text` carries text events, `record` typed ones.
struct CirraEvent {
    1: string signalName
    2: string text
    3: string recordType
    4: binary record
}

struct CirraFrame {
    1: optional CirraHello hello
    2: optional CirraCall call
    3: optional CirraReply reply
    4: optional CirraEvent event
}
