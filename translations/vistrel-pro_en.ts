<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Window</name>
    <message>
        <source>正在打开网页 %1...</source>
        <translation>Opening page %1...</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>停止(&amp;T)</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>刷新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>捕捉此页</source>
        <translation>Capture page</translation>
    </message>
    <message>
        <source>正在截取整个网页 ...</source>
        <translation>Capturing the whole page ...</translation>
    </message>
    <message>
        <source>正在截取整个网页: 第 %1 屏, 共 %2 屏</source>
        <translation>Capturing the whole page: screen %1 of %2</translation>
    </message>
    <message>
        <source>Internet Explorer 版本号:  </source>
        <translation>Internet Explorer version:  </translation>
    </message>
    <message>
        <source>Chromium (后台截图) 版本号:  </source>
        <translation>Chromium (out-of-sight captures) version:  </translation>
    </message>
    <message>
        <source>未安装</source>
        <translation>not installed</translation>
    </message>
    <message>
        <source>版本: 1.2.1</source>
        <translation>Version: 1.2.1</translation>
    </message>
    <message>
        <source>命令行模式.</source>
        <translation>Command-line mode.</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>帮助 &amp; 关于</source>
        <translation>Help &amp; About</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>网站地址 (URL)</source>
        <translation>Web address (URL)</translation>
    </message>
    <message>
        <source>地址:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>屏幕分辨率</source>
        <translation>Screen resolution</translation>
    </message>
    <message>
        <source>开始(&amp;T)</source>
        <translation>S&amp;tart</translation>
    </message>
    <message>
        <source> Internet Explorer 右键菜单 </source>
        <translation> Internet Explorer right-click menu </translation>
    </message>
    <message>
        <source>添加 Vistrel Pro 到 Internet Explorer 的右键菜单</source>
        <translation>Add Vistrel Pro to the Internet Explorer right-click menu</translation>
    </message>
    <message>
        <source>从 Internet Explorer 的右键菜单中去除 Vistrel Pro</source>
        <translation>Remove Vistrel Pro from the Internet Explorer right-click menu</translation>
    </message>
    <message>
        <source> 其他设置 </source>
        <translation> Other settings </translation>
    </message>
    <message>
        <source>显示 Internet Explorer 窗口.</source>
        <translation>Show the Internet Explorer window.</translation>
    </message>
    <message>
        <source>每一屏都按原样截取 (固定的标题栏在每屏重复出现).</source>
        <translation>Capture every screen as it looks (fixed headers repeat on each screen).</translation>
    </message>
    <message>
        <source>截图引擎:</source>
        <translation>Engine:</translation>
    </message>
    <message>
        <source>Chromium (安全, 默认)</source>
        <translation>Chromium (safe)</translation>
    </message>
    <message>
        <source>Qt WebEngine (快速, 仅用于可信网页)</source>
        <translation>Qt WebEngine (fast, trusted pages)</translation>
    </message>
    <message>
        <source>语言:</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Vistrel Pro 版本: 1.2.1 ( May 1, 2005 )</source>
        <translation>Vistrel Pro version: 1.2.1 ( May 1, 2005 )</translation>
    </message>
    <message>
        <source>Internet Explorer 版本: 6.1.021.10</source>
        <translation>Internet Explorer version: 6.1.021.10</translation>
    </message>
    <message>
        <source>Vistrel Pro 帮助</source>
        <translation>Vistrel Pro help</translation>
    </message>
    <message>
        <source>在线支持论坛</source>
        <translation>Online support forum</translation>
    </message>
    <message>
        <source>检查版本更新</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>访问 %1</source>
        <translation>Visit %1</translation>
    </message>
    <message>
        <source>像素</source>
        <translation>pixels</translation>
    </message>
    <message>
        <source>图片:</source>
        <translation>Picture:</translation>
    </message>
    <message>
        <source>图片大小:</source>
        <translation>Picture size:</translation>
    </message>
    <message>
        <source>  该页面的完整大小.</source>
        <translation>  The page&apos;s full size.</translation>
    </message>
    <message>
        <source>  裁减高度为: </source>
        <translation>  Crop to a height of: </translation>
    </message>
    <message>
        <source>预览:</source>
        <translation>View:</translation>
    </message>
    <message>
        <source>预览图片</source>
        <translation>Preview picture</translation>
    </message>
    <message>
        <source>保存:</source>
        <translation>Save:</translation>
    </message>
    <message>
        <source>保存为 BMP</source>
        <translation>Save as BMP</translation>
    </message>
    <message>
        <source>保存为 PNG</source>
        <translation>Save as PNG</translation>
    </message>
    <message>
        <source>保存为 JPG</source>
        <translation>Save as JPG</translation>
    </message>
    <message>
        <source>JPG 压缩格式 :</source>
        <translation>JPG quality :</translation>
    </message>
    <message>
        <source>* 100 为最佳质量.
   0  为最高压缩率.</source>
        <translation>* 100: best quality.
   0: smallest file.</translation>
    </message>
    <message>
        <source>创建略缩图</source>
        <translation>Make thumbnail</translation>
    </message>
    <message>
        <source>开始新页面</source>
        <translation>New page</translation>
    </message>
    <message>
        <source>完成并退出</source>
        <translation>Finish and exit</translation>
    </message>
    <message>
        <source> 略缩图大小: </source>
        <translation> Thumbnail size: </translation>
    </message>
    <message>
        <source>  宽 :</source>
        <translation>  Width :</translation>
    </message>
    <message>
        <source> 高 : </source>
        <translation> Height : </translation>
    </message>
    <message>
        <source>  百分比:</source>
        <translation>  Percent:</translation>
    </message>
    <message>
        <source> 略缩图边框 :</source>
        <translation> Thumbnail frame :</translation>
    </message>
    <message>
        <source>  边框颜色 :</source>
        <translation>  Frame colour :</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>其他颜色...</source>
        <translation>More colours...</translation>
    </message>
    <message>
        <source> 其他选项 : </source>
        <translation> Other options : </translation>
    </message>
    <message>
        <source>  平滑.</source>
        <translation>  Smooth.</translation>
    </message>
    <message>
        <source> 原始图片大小 : </source>
        <translation> Part of the page : </translation>
    </message>
    <message>
        <source>裁减高度为: </source>
        <translation>Crop to a height of: </translation>
    </message>
    <message>
        <source>预览略缩图</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>保存为默认设置</source>
        <translation>Save as default</translation>
    </message>
    <message>
        <source>Vistrel Pro 图片查看器</source>
        <translation>Vistrel Pro picture viewer</translation>
    </message>
    <message>
        <source>BMP位图 (*.bmp)</source>
        <translation>BMP picture (*.bmp)</translation>
    </message>
    <message>
        <source>PNG 文件(*.PNG)</source>
        <translation>PNG file (*.PNG)</translation>
    </message>
    <message>
        <source>JPEG 图象文件 (*.jpg)</source>
        <translation>JPEG picture (*.jpg)</translation>
    </message>
</context>
</TS>
