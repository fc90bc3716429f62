#include "base/failure_words.h"

namespace velmora {

std::string_view failureWords(FailureClass failureClass)
{
    switch (failureClass) {
    case FailureClass::Unclassified: return "";
    case FailureClass::NoConnection: return "无法连接到服务器，请检查网络连接";
    case FailureClass::HostNotFound: return "找不到服务器，请检查网络连接";
    case FailureClass::TimedOut: return "服务器长时间没有响应，请稍后再试";
    case FailureClass::Refused: return "服务器拒绝连接，请检查网络连接或稍后再试";
    case FailureClass::ProxyUnreachable: return "无法连接到代理服务器，请检查代理设置";
    case FailureClass::Reset: return "与服务器的连接意外断开，请稍后再试";
    case FailureClass::CutOff: return "数据没有完整收到，连接中途断开了，请稍后再试";
    case FailureClass::BadResponse: return "服务器的应答有误，请稍后再试";
    case FailureClass::HttpError: return "服务器无法提供所要的文件，请稍后再试";
    case FailureClass::BadAddress: return "网址无效，请检查网址是否正确";
    case FailureClass::DiskFull: return "磁盘空间不足，请清理磁盘后再试";
    case FailureClass::NoWritePermission: return "没有写入权限，请检查文件夹是否允许写入";
    }
    return "";
}

}  // namespace velmora
