// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "cirrasamples.h"

using namespace qoz::cirra;

namespace {

const std::map<std::string, std::string> kMap = {
    {"", "empty key"}, {"device_id", "dev-\xe6\x96\x87\xe6\xa1\xa3"}, {"src", "crossterminalpanel"}};

template<class T>
CirraSample sample(const T &value)
{
    return {KCirraRecordName<T>::value, KCirraRecord::make(value), [](const KCirraRecord &a, const KCirraRecord &b) {
                return a.as<T>() && b.as<T>() && *a.as<T>() == *b.as<T>();
            }};
}

UserAcl sampleAcl()
{
    UserAcl acl;
    acl.bRead = acl.bNewEmpty = acl.bUpload = acl.bUpdate = acl.bRename = acl.bMove = true;
    acl.bCopy = acl.bShare = acl.bRemove = acl.bDownload = acl.bHistory = acl.bSecret = true;
    acl.bMove = false; // one false among the trues so an order mix-up shows
    acl.extraParam = kMap;
    return acl;
}

} // namespace

CloudItem sampleCloudItem()
{
    CloudItem item;
    item.groupId = "group-1";
    item.parentId = "parent-2";
    item.id = "item-3";
    item.size = 4294967296LL + 17;
    item.name = "Report \xc3\xa9t\xc3\xa9.docx";
    item.type = "file";
    item.creator = "creator";
    item.modifier = "modifier";
    item.ctime = -1;
    item.mtime = 1767225600123LL;
    item.cache = "/cache/path";
    item.deleted = true;
    item.fileState = -7;
    item.taskId = "task";
    item.progress = 42;
    item.averageSpeed = 1.5e6;
    item.userAcl = sampleAcl();
    item.fileId = "file-18";
    item.tipDescribe = "tip";
    item.category = {"doc", "", "shared"};
    item.virtualType = 21;
    item.autoUpdate = true;
    item.cloudVersion = 23;
    item.syncFolder = true;
    item.linkGroupId = "link";
    item.originType = "origin";
    item.roamingPath = "/roaming";
    item.companyId = "company";
    item.shareCTime = 29;
    item.extraParam = kMap;
    return item;
}

std::vector<CirraSample> cirraSamples()
{
    std::vector<CirraSample> samples;

    CirraIpcArg arg;
    arg.nameSpace = "softBuss";
    arg.method = "showTransferHelperDlg";
    arg.argMap = kMap;
    samples.push_back(sample(arg));

    CirraIpcResult result;
    result.state = -2147483647 - 1;
    result.resultMap = kMap;
    result.resultList = {"a", "", std::string("nul\0byte", 8)};
    result.resultString = "{\"ok\":true}";
    samples.push_back(sample(result));

    GetStorageInfoArg storageArg;
    storageArg.userId = "alice";
    storageArg.extraParam = kMap;
    samples.push_back(sample(storageArg));

    GetStorageInfoResult storage;
    storage.state = 3;
    storage.userId = "alice";
    storage.usedSize = 1073741824LL * 3;
    storage.totalSize = 9223372036854775807LL;
    storage.extraParam = kMap;
    samples.push_back(sample(storage));

    samples.push_back(sample(sampleAcl()));
    samples.push_back(sample(sampleCloudItem()));

    GetCloudFileInfoArg fileArg;
    fileArg.groudId = "g";
    fileArg.fileId = "f";
    fileArg.cacheOnly = true;
    fileArg.subFileInfo = true;
    fileArg.extraParam = {{"type", "device"}, {"deviceUuid", "uuid-1"}};
    samples.push_back(sample(fileArg));

    GetCloudFileInfoResult fileResult;
    fileResult.state = 1;
    fileResult.itemInfo = sampleCloudItem();
    fileResult.path = "/home/u/roaming";
    fileResult.ids = "1/2/3";
    fileResult.extraParam = kMap;
    samples.push_back(sample(fileResult));

    ServerErrorInfo error;
    error.errResult = "PermissionDenied";
    error.errString = "no";
    error.extraParam = kMap;
    samples.push_back(sample(error));

    NotifyWebPageEventArg page;
    page.business = "crossTerminalPanel";
    page.eventName = "kipc_crosstermianlpanel_eventhandle";
    page.message = "{\"operation\":\"clear\"}";
    page.extraParam = kMap;
    samples.push_back(sample(page));

    NotifyActionsMapArg actions;
    actions.nActionType = 9;
    actions.mapArgs = {{"Int_IpcPageType", "1"}};
    actions.extraParam = kMap;
    samples.push_back(sample(actions));

    NotifyOpenCloudLocationActionArg open;
    open.openFrom = "from";
    open.idPath = "1/2";
    open.namePath = "a/b";
    open.userId = "alice";
    open.idSelect = "2";
    open.lastOpenKey = "key";
    open.fileId = "file";
    samples.push_back(sample(open));

    return samples;
}
