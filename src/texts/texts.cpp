// The program's texts in UTF-8. The build compiles this file with code page 936 as its execution
// character set, so each literal below is stored as its code page 936 bytes.
#include "texts/texts.h"

namespace texts {

const char* const findLabel = "查找";
const char* const resultLabel = "结果";
const char* const nextButton = "下一个";
const char* const toBelowButton = "到下方";
const char* const initialPosition = "位置：0";
const char* const oldTextLabel = "被替换";
const char* const newTextLabel = "替换为";
const char* const openButton = "打开文件";
const char* const replaceButton = "开始替换";
const char* const testButton = "测试";
const char* const defaultDirectoryButton = "默认目录";
const char* const runButton = "运行文件";

const char* const captionPrefix = "Lexpatch - ";
const char* const initialCaption = "Lexpatch - 无打开文件";

const char* const executableFilter = "可执行文件(*.exe)|*.exe";

const char* const noticeTitle = "信息：";

const char* const missingInputOrFile = "未输入或未载入文件！";
const char* const textNotFoundForTest = "找不到此文本！";

const char* const reportTextLength = "文本长度：";
const char* const reportZeroCount = "\r\n后0字节数：";
const char* const reportReplacementLength = "\r\n你输入的文本长度：";
const char* const reportLineBreak = "\r\n";
const char* const reportFits = "原长大于或等于替换长度，可以替换！";
const char* const reportDoesNotFit = "原长小于替换长度，无法替换！";

const char* const missingFileOrInput = "未载入文件或输入框为空！";
const char* const textNotFound = "找不到文本！";
const char* const replacementTooLong = "原长度小于替换后长度，不予替换！";
const char* const saveFailed = "保存文件失败，目标文件未被修改！";

const char* const nothingFound = "程序提示：没找到";
const char* const positionPrefix = "位置：";

const char* const runFailedBeforeAddress = "额哦~执行失败了！是本程序的问题么？~请将详细信息(文件，您的输入，操作)发到";
const char* const contactAddress = "bugs@lexpatch.org";
const char* const runFailedAfterAddress = "\r\n如果您按正确方法还不能处理，请用WinHex或HexWorkshop等自行修改。";

const char* const lastFileLoaded = "已载入上次文件！";
const char* const lastFileBeforePath = "上次文件";
const char* const lastFileAfterPath = "不存在！";
const char* const defaultDirectoryLoaded = "已载入默认目录";
const char* const fileDirectoryUsed = "文件目录不存在，已使用文件目录！";
const char* const noDefaultDirectory = "无默认目录！";

const char* const fatalErrorTitle = "错误";
const char* const fatalErrorHeading = "运行时出错!\r\n\r\n";
const char* const fatalErrorMessagePrefix = "错误信息：";
const char* const allocationFailedBeforeSize = "分配 ";
const char* const allocationFailedAfterSize = " 字节内存失败!";
const char* const windowNotCreated = "载入启动窗口失败";

}  // namespace texts
