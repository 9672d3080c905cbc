<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>IndicationReport</name>
    <message>
        <source>探伤指示汇总</source>
        <translation>Indication summary</translation>
    </message>
    <message>
        <source>%1 条</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>（完整可读 %1 条）</source>
        <translation> (%1 fully readable)</translation>
    </message>
    <message>
        <source>文件：%1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>记录数：%1</source>
        <translation>Records: %1</translation>
    </message>
    <message>
        <source>时长：约 %1（按每秒一条记录）</source>
        <translation>Duration: about %1 (one record per second)</translation>
    </message>
    <message>
        <source>阈值：%1；合并间隔：%2 帧</source>
        <translation>Threshold: %1; merge gap: %2 frames</translation>
    </message>
    <message>
        <source>指示：%1 处；耦合丢失：%2 处</source>
        <translation>Indications: %1; coupling lost: %2</translation>
    </message>
    <message>
        <source>探伤指示汇总（续）</source>
        <translation>Indication summary (continued)</translation>
    </message>
    <message>
        <source>本记录中没有指示。</source>
        <translation>No indications in this recording.</translation>
    </message>
    <message>
        <source>探伤指示报告</source>
        <translation>Indication report</translation>
    </message>
</context>
<context>
    <name>IndicationTable</name>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>持续</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>峰值幅度</source>
        <translation>Peak</translation>
    </message>
    <message>
        <source>超阈值</source>
        <translation>Over thr.</translation>
    </message>
    <message>
        <source>声程</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>深度</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>水平距离</source>
        <translation>Horiz. dist.</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remarks</translation>
    </message>
    <message>
        <source>记录 %1 帧 %2（%3）</source>
        <translation>Rec %1 fr %2 (%3)</translation>
    </message>
    <message>
        <source>%1 帧（%2 秒）</source>
        <translation>%1 fr (%2 s)</translation>
    </message>
    <message>
        <source>记录 %1 帧 %2 – 记录 %3 帧 %4</source>
        <translation>Record %1 frame %2 – record %3 frame %4</translation>
    </message>
    <message>
        <source>记录的闸门A阈值（闸门电平或闸门曲线）</source>
        <translation>recorded gate A threshold (gate level or gate curve)</translation>
    </message>
    <message>
        <source>满屏高度的 %1 %</source>
        <translation>%1 % of full screen height</translation>
    </message>
</context>
<context>
    <name>ProbeType</name>
    <message>
        <source>直探头</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>斜探头</source>
        <translation>Angle</translation>
    </message>
    <message>
        <source>双晶探头</source>
        <translation>Dual</translation>
    </message>
    <message>
        <source>穿透探头</source>
        <translation>Through</translation>
    </message>
</context>
<context>
    <name>ReportPage</name>
    <message>
        <source>数字式超声波探伤仪探伤报告</source>
        <translation>Ultrasonic Flaw Detection Report</translation>
    </message>
    <message>
        <source>检测单位</source>
        <translation>Inspection body</translation>
    </message>
    <message>
        <source>报告编号</source>
        <translation>Report No.</translation>
    </message>
    <message>
        <source>委托单位</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>检测日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>Serial No.</translation>
    </message>
    <message>
        <source>表面热处理</source>
        <translation>Heat treatment</translation>
    </message>
    <message>
        <source>材质</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>表面粗糙度</source>
        <translation>Surface roughness</translation>
    </message>
    <message>
        <source>型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>探头类型</source>
        <translation>Probe type</translation>
    </message>
    <message>
        <source>灵敏度</source>
        <translation>Sensitivity</translation>
    </message>
    <message>
        <source>晶片尺寸</source>
        <translation>Crystal size</translation>
    </message>
    <message>
        <source>前沿</source>
        <translation>Front</translation>
    </message>
    <message>
        <source>回波抑制</source>
        <translation>Reject</translation>
    </message>
    <message>
        <source>探头K值</source>
        <translation>K value</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>回波延时</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>折射角</source>
        <translation>Refraction angle</translation>
    </message>
    <message>
        <source>零点</source>
        <translation>Zero</translation>
    </message>
    <message>
        <source>声程范围</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>声速</source>
        <translation>Velocity</translation>
    </message>
    <message>
        <source>探伤结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>探伤标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>探伤人员</source>
        <translation>Inspector</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>负责人员</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>高度</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remarks</translation>
    </message>
    <message>
        <source>等级</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>工件</source>
        <translation>Workpiece</translation>
    </message>
    <message>
        <source>探头</source>
        <translation>Probe</translation>
    </message>
    <message>
        <source>探伤仪</source>
        <translation>Flaw detector</translation>
    </message>
    <message>
        <source>缺陷</source>
        <translation>Defect</translation>
    </message>
    <message>
        <source>定位</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>探伤评定</source>
        <translation>Evaluation</translation>
    </message>
    <message>
        <source>定量</source>
        <translation>Sizing</translation>
    </message>
    <message>
        <source>度 </source>
        <translation>° </translation>
    </message>
    <message>
        <source>A定位</source>
        <translation>A location</translation>
    </message>
    <message>
        <source>A当量</source>
        <translation>A equiv.</translation>
    </message>
    <message>
        <source>B定位</source>
        <translation>B location</translation>
    </message>
    <message>
        <source>B当量</source>
        <translation>B equiv.</translation>
    </message>
    <message>
        <source>距离</source>
        <translation>Distance</translation>
    </message>
    <message>
        <source>水平</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>垂直</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>当量</source>
        <translation>Equivalent</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::GoToDialog</name>
    <message>
        <source>记录须在 1 到 %1 之间。</source>
        <translation>The record must be from 1 to %1.</translation>
    </message>
    <message>
        <source>秒须在 0 到 59 之间。</source>
        <translation>Seconds must be from 0 to 59.</translation>
    </message>
    <message>
        <source>时间须在 00:00 到 %1 之间。</source>
        <translation>The time must be from 00:00 to %1.</translation>
    </message>
    <message>
        <source>帧须从 1 起。</source>
        <translation>Frames start at 1.</translation>
    </message>
    <message>
        <source>请输入“记录/帧”（如 12/3）、记录号（如 12）或时间“分:秒”（如 01:30）。</source>
        <translation>Enter record/frame (e.g. 12/3), a record (e.g. 12) or a time mm:ss (e.g. 01:30).</translation>
    </message>
    <message>
        <source>转到</source>
        <translation>Go To</translation>
    </message>
    <message>
        <source>记录/帧（1 到 %1）或时间 分:秒：</source>
        <translation>Record/frame (1 to %1) or time mm:ss:</translation>
    </message>
    <message>
        <source>如 12/3 或 01:30</source>
        <translation>e.g. 12/3 or 01:30</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>记录 %1 的帧须在 1 到 %2 之间。</source>
        <translation>The frame of record %1 must be from 1 to %2.</translation>
    </message>
    <message>
        <source>记录 %1 没有可显示的帧。</source>
        <translation>Record %1 has no frames to show.</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::IndicationWindow</name>
    <message>
        <source>指示列表</source>
        <translation>Indications</translation>
    </message>
    <message>
        <source>绝对阈值</source>
        <translation>Fixed threshold</translation>
    </message>
    <message>
        <source>以满屏高度的百分比代替记录的闸门A阈值</source>
        <translation>A percentage of full screen height instead of the recorded gate A threshold</translation>
    </message>
    <message>
        <source>合并间隔：</source>
        <translation>Merge gap:</translation>
    </message>
    <message>
        <source> 帧</source>
        <translation> fr</translation>
    </message>
    <message>
        <source>相隔不超过这么多帧的超阈值段合为一个指示；0 不合并</source>
        <translation>Runs over the threshold at most this many frames apart form one indication; 0 merges none</translation>
    </message>
    <message>
        <source>导出CSV(&amp;C)…</source>
        <translation>Export &amp;CSV…</translation>
    </message>
    <message>
        <source>导出PDF报告(&amp;R)…</source>
        <translation>Export PDF &amp;Report…</translation>
    </message>
    <message>
        <source>未打开记录</source>
        <translation>No recording open</translation>
    </message>
    <message>
        <source>分析失败：%1</source>
        <translation>Analysis failed: %1</translation>
    </message>
    <message>
        <source>正在分析记录…</source>
        <translation>Analysing the recording…</translation>
    </message>
    <message>
        <source>指示 %1 处，耦合丢失 %2 处</source>
        <translation>Indications: %1, coupling lost: %2</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>无法保存文件“%1”：
%2</source>
        <translation>Cannot save the file “%1”:
%2</translation>
    </message>
    <message>
        <source>正在生成指示报告…</source>
        <translation>Making the indication report…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>导出PDF报告</source>
        <translation>Export PDF Report</translation>
    </message>
    <message>
        <source>_指示.csv</source>
        <translation>_indications.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>_指示报告.pdf</source>
        <translation>_indication_report.pdf</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::LargeAScanWindow</name>
    <message>
        <source>大A扫描</source>
        <translation>Large A-scan</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::OverviewPanel</name>
    <message>
        <source>分析中 %p%</source>
        <translation>Analysing %p%</translation>
    </message>
    <message>
        <source>闸门A</source>
        <translation>Gate A</translation>
    </message>
    <message>
        <source>耦合</source>
        <translation>Coupl.</translation>
    </message>
    <message>
        <source>B扫描</source>
        <translation>B-scan</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100%</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>无法分析此记录：%1</source>
        <translation>Cannot analyse this recording: %1</translation>
    </message>
    <message>
        <source>备注（记录 %1）：%2</source>
        <translation>Note (record %1): %2</translation>
    </message>
    <message>
        <source>记录 %1 起设置改变</source>
        <translation>Settings change from record %1</translation>
    </message>
    <message>
        <source>记录 %1，帧 %2</source>
        <translation>Record %1, frame %2</translation>
    </message>
    <message>
        <source>尚未分析</source>
        <translation>Not analysed yet</translation>
    </message>
    <message>
        <source>闸门A最高波幅 %1%</source>
        <translation>Gate A peak amplitude %1%</translation>
    </message>
    <message>
        <source>闸门A报警</source>
        <translation>Gate A alarm</translation>
    </message>
    <message>
        <source>耦合丢失（闸门B无回波）</source>
        <translation>Coupling lost (no echo in gate B)</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::PositionStatus</name>
    <message>
        <source>记录 %1 / %2</source>
        <translation>Record %1 / %2</translation>
    </message>
    <message>
        <source>帧 %1</source>
        <translation>Frame %1</translation>
    </message>
    <message>
        <source>约 %1</source>
        <translation>about %1</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::RecentFiles</name>
    <message>
        <source>文件“%1”已不存在，已从最近打开的文件中删除。</source>
        <translation>The file “%1” no longer exists and has been removed from the recent files.</translation>
    </message>
    <message>
        <source>清除列表(&amp;C)</source>
        <translation>&amp;Clear List</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::TAboutForm</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>连续记录离线分析软件</source>
        <translation>Continuous recording analysis</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::TMainForm</name>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>文件太短，没有记录数，不是连续记录文件。</source>
        <translation>The file is too short to hold a record count: it is not a continuous recording.</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>打开(&amp;O)</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>上一帧</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一帧</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>增益</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>探头信息</source>
        <translation>Probe</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>Basic settings</translation>
    </message>
    <message>
        <source>基本增益：</source>
        <translation>Base gain:</translation>
    </message>
    <message>
        <source>扫查增益：</source>
        <translation>Scan gain:</translation>
    </message>
    <message>
        <source>表面补偿：</source>
        <translation>Surf. comp.:</translation>
    </message>
    <message>
        <source>探头类型：</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>探头频率：</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>晶片尺寸：</source>
        <translation>Crystal:</translation>
    </message>
    <message>
        <source>声程：</source>
        <translation>Range:</translation>
    </message>
    <message>
        <source>延时：</source>
        <translation>Delay:</translation>
    </message>
    <message>
        <source>前沿：</source>
        <translation>Front:</translation>
    </message>
    <message>
        <source>声速：</source>
        <translation>Velocity:</translation>
    </message>
    <message>
        <source>零点：</source>
        <translation>Zero:</translation>
    </message>
    <message>
        <source>角度：</source>
        <translation>Angle:</translation>
    </message>
    <message>
        <source>通道：</source>
        <translation>Channel:</translation>
    </message>
    <message>
        <source>K值：</source>
        <translation>K value:</translation>
    </message>
    <message>
        <source>无法打开文件“%1”：
%2</source>
        <translation>Cannot open the file “%1”:
%2</translation>
    </message>
    <message>
        <source>语言(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>找不到界面语言“%1”的翻译文件。</source>
        <translation>The translation file of the interface language “%1” was not found.</translation>
    </message>
    <message>
        <source>分析(&amp;A)</source>
        <translation>&amp;Analysis</translation>
    </message>
    <message>
        <source>指示列表(&amp;I)…</source>
        <translation>&amp;Indications…</translation>
    </message>
    <message>
        <source>下一个指示(&amp;N)</source>
        <translation>&amp;Next Indication</translation>
    </message>
    <message>
        <source>上一个指示(&amp;P)</source>
        <translation>&amp;Previous Indication</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::ViewerActions</name>
    <message>
        <source>最近打开的文件(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
    <message>
        <source>打印(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>播放(&amp;P)</source>
        <translation>&amp;Playback</translation>
    </message>
    <message>
        <source>播放/停止</source>
        <translation>Play/Stop</translation>
    </message>
    <message>
        <source>上一帧</source>
        <translation>Previous Frame</translation>
    </message>
    <message>
        <source>下一帧</source>
        <translation>Next Frame</translation>
    </message>
    <message>
        <source>上一记录</source>
        <translation>Previous Record</translation>
    </message>
    <message>
        <source>下一记录</source>
        <translation>Next Record</translation>
    </message>
    <message>
        <source>第一个记录</source>
        <translation>First Record</translation>
    </message>
    <message>
        <source>最后一个记录</source>
        <translation>Last Record</translation>
    </message>
    <message>
        <source>转到(&amp;G)...</source>
        <translation>&amp;Go To...</translation>
    </message>
    <message>
        <source>播放速度(&amp;S)</source>
        <translation>&amp;Speed</translation>
    </message>
    <message>
        <source>减慢</source>
        <translation>Slower</translation>
    </message>
    <message>
        <source>加快</source>
        <translation>Faster</translation>
    </message>
    <message>
        <source>视图(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>大A扫描窗口(&amp;L)</source>
        <translation>&amp;Large A-scan</translation>
    </message>
</context>
<context>
    <name>sonalyt::report::TReportForm</name>
    <message>
        <source>菜单(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>打印(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>导出PDF(&amp;E)</source>
        <translation>&amp;Export PDF...</translation>
    </message>
    <message>
        <source>导出PDF</source>
        <translation>Export PDF</translation>
    </message>
    <message>
        <source>探伤报告.pdf</source>
        <translation>inspection-report.pdf</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>无法保存文件 %1：
%2</source>
        <translation>Cannot save the file %1:
%2</translation>
    </message>
</context>
</TS>
