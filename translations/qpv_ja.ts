<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Control</name>
    <message>
        <source>Closes the port and ends the program</source>
        <translation>ポートを閉じてプログラムを終了します</translation>
    </message>
    <message>
        <source>Opens the port and speed settings</source>
        <translation>ポートと通信速度の設定を開きます</translation>
    </message>
    <message>
        <source>COM settings</source>
        <translation>COM 設定</translation>
    </message>
    <message>
        <source>The port and its speed; closes after a choice</source>
        <translation>ポートと通信速度。選ぶと閉じます</translation>
    </message>
    <message>
        <source>Traffic</source>
        <translation>通信表示</translation>
    </message>
    <message>
        <source>What was sent, what came back, and the decoded status</source>
        <translation>送信した内容、受信した内容、解読したステータス</translation>
    </message>
    <message>
        <source>Shows or hides the traffic display</source>
        <translation>通信表示を表示または非表示にします</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>画面</translation>
    </message>
    <message>
        <source>Picture modes in four rows</source>
        <translation>4 行の画面モード</translation>
    </message>
    <message>
        <source>Free-text command</source>
        <translation>自由入力コマンド</translation>
    </message>
    <message>
        <source>OMTA logo</source>
        <translation>OMTA ロゴ</translation>
    </message>
    <message>
        <source>Double-click after Ctrl+J to show the whole panel</source>
        <translation>Ctrl+J の後にダブルクリックするとパネル全体を表示します</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>通信速度</translation>
    </message>
    <message>
        <source>TXD: the command sent, each character made visible</source>
        <translation>TXD: 送信したコマンド (すべての文字を見える形で表示)</translation>
    </message>
    <message>
        <source>RXD: the reply received, each character made visible</source>
        <translation>RXD: 受信した応答 (すべての文字を見える形で表示)</translation>
    </message>
    <message>
        <source>STATUS: the decoded reply</source>
        <translation>STATUS: 解読した応答</translation>
    </message>
    <message>
        <source>Free-text command, sent unchanged with SEND</source>
        <translation>自由入力コマンド。SEND でそのまま送信します</translation>
    </message>
    <message>
        <source>Sends the CMD text</source>
        <translation>CMD の文字列を送信します</translation>
    </message>
    <message>
        <source>Empties the CMD text</source>
        <translation>CMD の文字列を消去します</translation>
    </message>
</context>
<context>
    <name>Ctl</name>
    <message>
        <source>Try &apos;qpv-ctl --help&apos; for the options and actions.</source>
        <translation>オプションとアクションは &apos;qpv-ctl --help&apos; で確認してください。</translation>
    </message>
    <message>
        <source>TEXT as typed, as SEND sends it</source>
        <translation>入力したとおりの TEXT (SEND と同じ送り方)</translation>
    </message>
    <message>
        <source>Sends QPV-7100 projector commands over a serial line, one exchange each, and prints the decoded reply.
ACTION is a command button&apos;s name (qpv-ctl list shows them all), or send TEXT.
Exit status: 0 every exchange answered, 1 a reply did not come, 2 a mistake on the command line, 3 the port could not be opened or was lost.</source>
        <translation>シリアル回線で QPV-7100 プロジェクターにコマンドを 1 回ずつ送り、解読した応答を表示します。
ACTION はコマンドボタンの名前 (qpv-ctl list ですべて表示) か、send TEXT です。
終了ステータス: 0 すべての応答あり、1 応答が来なかった、2 コマンドラインの誤り、3 ポートを開けなかったか失った。</translation>
    </message>
    <message>
        <source>Use DEVICE as COM1, e.g. /dev/ttyUSB0, or a device server: rfc2217://HOST:PORT or socket://HOST:PORT.</source>
        <translation>DEVICE を COM1 として使います。例: /dev/ttyUSB0。デバイスサーバーなら rfc2217://HOST:PORT または socket://HOST:PORT。</translation>
    </message>
    <message>
        <source>DEVICE</source>
        <translation>DEVICE</translation>
    </message>
    <message>
        <source>Use DEVICE as COM2.</source>
        <translation>DEVICE を COM2 として使います。</translation>
    </message>
    <message>
        <source>The port to use, 1 or 2 (default 1).</source>
        <translation>使うポート、1 か 2 (既定値 1)。</translation>
    </message>
    <message>
        <source>The line&apos;s speed, 9600 or 115200 (default 9600).</source>
        <translation>回線の通信速度、9600 か 115200 (既定値 9600)。</translation>
    </message>
    <message>
        <source>Print one JSON object for each exchange.</source>
        <translation>やり取りごとに JSON オブジェクトを 1 つ表示します。</translation>
    </message>
    <message>
        <source>Wait MS for each reply instead of the panel&apos;s watchdog (500 ms, 5 s after a picture-group command, 2 s after send).</source>
        <translation>パネルの監視時間 (500 ms、画面グループのコマンドの後は 5 秒、send の後は 2 秒) の代わりに、各応答を MS ミリ秒待ちます。</translation>
    </message>
    <message>
        <source>What to send, in order.</source>
        <translation>送るもの (順に)。</translation>
    </message>
    <message>
        <source>--%1 needs a device, e.g. --%1 /dev/ttyUSB0.</source>
        <translation>--%1 にはデバイスが必要です。例: --%1 /dev/ttyUSB0。</translation>
    </message>
    <message>
        <source>--port must be 1 or 2, not &apos;%1&apos;.</source>
        <translation>--port は 1 か 2 でなければなりません (&apos;%1&apos; ではありません)。</translation>
    </message>
    <message>
        <source>--speed must be 9600 or 115200, not &apos;%1&apos;.</source>
        <translation>--speed は 9600 か 115200 でなければなりません (&apos;%1&apos; ではありません)。</translation>
    </message>
    <message>
        <source>--timeout must be a whole number of milliseconds from 1 to 3600000, not &apos;%1&apos;.</source>
        <translation>--timeout は 1 から 3600000 までの整数のミリ秒でなければなりません (&apos;%1&apos; ではありません)。</translation>
    </message>
    <message>
        <source>no action given; qpv-ctl list shows them.</source>
        <translation>アクションがありません。qpv-ctl list で確認できます。</translation>
    </message>
    <message>
        <source>send needs the command&apos;s text, e.g. send &apos;CR PRESSURE&apos;.</source>
        <translation>send にはコマンドの文字列が必要です。例: send &apos;CR PRESSURE&apos;。</translation>
    </message>
    <message>
        <source>unknown action &apos;%1&apos;; qpv-ctl list shows them.</source>
        <translation>アクション &apos;%1&apos; はありません。qpv-ctl list で確認できます。</translation>
    </message>
    <message>
        <source>%1: no reply within the watchdog time.</source>
        <translation>%1: 監視時間内に応答がありませんでした。</translation>
    </message>
</context>
<context>
    <name>OwnOptions</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>このヘルプを表示して終了します。</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>バージョンを表示して終了します。</translation>
    </message>
    <message>
        <source>Use DEVICE as COM1, e.g. /dev/ttyUSB0, or a device server: rfc2217://HOST:PORT or socket://HOST:PORT.</source>
        <translation>DEVICE を COM1 として使います。例: /dev/ttyUSB0。デバイスサーバーなら rfc2217://HOST:PORT または socket://HOST:PORT。</translation>
    </message>
    <message>
        <source>DEVICE</source>
        <translation>DEVICE</translation>
    </message>
    <message>
        <source>Use DEVICE as COM2.</source>
        <translation>DEVICE を COM2 として使います。</translation>
    </message>
    <message>
        <source>Put a simulated projector on COM1.</source>
        <translation>COM1 にシミュレーションのプロジェクターをつなぎます。</translation>
    </message>
    <message>
        <source>List this computer&apos;s serial ports, the COM number each gets, and exit.</source>
        <translation>このコンピューターのシリアルポートと、それぞれの COM 番号を一覧表示して終了します。</translation>
    </message>
    <message>
        <source>Try &apos;qpv-panel --help&apos; for the options.</source>
        <translation>オプションは &apos;qpv-panel --help&apos; で確認してください。</translation>
    </message>
    <message>
        <source>-%1 takes two dashes: --%1.</source>
        <translation>-%1 にはダッシュが 2 つ必要です: --%1。</translation>
    </message>
    <message>
        <source>Control panel for the QPV-7100 projector on an RS-232C serial line.
COM1 and COM2 are this computer&apos;s first two serial ports (USB adapters
first, then built-in ones), as --list-ports shows, unless given otherwise.</source>
        <translation>RS-232C シリアル回線で QPV-7100 プロジェクターを操作するコントロールパネル。
COM1 と COM2 は、指定がなければ、このコンピューターの最初の 2 つのシリアル
ポートです (USB アダプターが先、内蔵ポートが後)。--list-ports で確認できます。</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;.</source>
        <translation>予期しない引数 &apos;%1&apos; があります。</translation>
    </message>
    <message>
        <source>--%1 needs a device, e.g. --%1 /dev/ttyUSB0.</source>
        <translation>--%1 にはデバイスが必要です。例: --%1 /dev/ttyUSB0。</translation>
    </message>
    <message>
        <source>--simulate puts the simulated projector on COM1; leave out --com1, or leave out --simulate.</source>
        <translation>--simulate はシミュレーションのプロジェクターを COM1 につなぎます。--com1 か --simulate のどちらかを外してください。</translation>
    </message>
    <message>
        <source>cannot start the simulated projector: %1</source>
        <translation>シミュレーションのプロジェクターを起動できません: %1</translation>
    </message>
</context>
<context>
    <name>Simulator</name>
    <message>
        <source>Try &apos;qpv-sim --help&apos; for the options.</source>
        <translation>オプションは &apos;qpv-sim --help&apos; で確認してください。</translation>
    </message>
    <message>
        <source>Simulated QPV-7100 projector on a pseudo-terminal. Prints the device path for the panel&apos;s --com1 or --com2 and runs until stopped.</source>
        <translation>疑似端末上のシミュレーションの QPV-7100 プロジェクター。パネルの --com1 または --com2 に渡すデバイスのパスを表示し、止めるまで動き続けます。</translation>
    </message>
    <message>
        <source>Make the device appear at PATH (a symbolic link).</source>
        <translation>デバイスを PATH に置きます (シンボリックリンク)。</translation>
    </message>
    <message>
        <source>PATH</source>
        <translation>PATH</translation>
    </message>
    <message>
        <source>Seconds from POWER ON to on (default 3).</source>
        <translation>POWER ON から点灯までの秒数 (既定値 3)。</translation>
    </message>
    <message>
        <source>SECONDS</source>
        <translation>SECONDS</translation>
    </message>
    <message>
        <source>Seconds from POWER OFF to standby (default 3).</source>
        <translation>POWER OFF からスタンバイまでの秒数 (既定値 3)。</translation>
    </message>
    <message>
        <source>0: four lamps, 1: lamps No1 and No4, 2: lamps No2 and No3 (default 0).</source>
        <translation>0: ランプ 4 灯、1: ランプ No1 と No4、2: ランプ No2 と No3 (既定値 0)。</translation>
    </message>
    <message>
        <source>MODE</source>
        <translation>MODE</translation>
    </message>
    <message>
        <source>none, silent, pieces, late, garbage or vanish</source>
        <translation>none、silent、pieces、late、garbage、vanish のいずれか</translation>
    </message>
    <message>
        <source>Inject a fault: %1 (default none).</source>
        <translation>障害を起こします: %1 (既定値 none)。</translation>
    </message>
    <message>
        <source>KIND</source>
        <translation>KIND</translation>
    </message>
    <message>
        <source>The fault hits every N-th command (default 1).</source>
        <translation>障害は N 番目ごとのコマンドに起こります (既定値 1)。</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;.</source>
        <translation>予期しない引数 &apos;%1&apos; があります。</translation>
    </message>
    <message>
        <source>--%1 must be %2, not &apos;%3&apos;.</source>
        <translation>--%1 は %2 でなければなりません (&apos;%3&apos; ではありません)。</translation>
    </message>
    <message>
        <source>a whole number of seconds, 0 or more</source>
        <translation>0 以上の整数の秒数</translation>
    </message>
    <message>
        <source>0, 1 or 2</source>
        <translation>0、1、2 のいずれか</translation>
    </message>
    <message>
        <source>a whole number, 1 or more</source>
        <translation>1 以上の整数</translation>
    </message>
    <message>
        <source>cannot create the device: %1</source>
        <translation>デバイスを作れません: %1</translation>
    </message>
    <message>
        <source>QPV-7100 simulator on %1 (fault: %2)</source>
        <translation>QPV-7100 シミュレーター: %1 (障害: %2)</translation>
    </message>
    <message>
        <source>Start the panel with: qpv-panel --com1 %1</source>
        <translation>パネルの起動: qpv-panel --com1 %1</translation>
    </message>
</context>
<context>
    <name>Wording</name>
    <message>
        <source>%1 port %2</source>
        <translation>%1 のポート %2</translation>
    </message>
    <message>
        <source>%1 cannot be opened: no serial port was found for it on this computer.</source>
        <translation>%1 を開けません: このコンピューターにはこのポートに当たるシリアルポートがありません。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the device does not exist.</source>
        <translation>%1 を開けません: デバイスがありません。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: permission denied.</source>
        <translation>%1 を開けません: アクセスが許可されていません。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the device is busy or locked by another program.</source>
        <translation>%1 を開けません: デバイスは使用中か、ほかのプログラムにロックされています。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2 (process %3) is using it.</source>
        <translation>%1 を開けません: %2 (プロセス %3) が使用中です。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: a lock left by process %2, which has ended, still holds it.</source>
        <translation>%1 を開けません: 終了したプロセス %2 のロックが残っています。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: it is not a serial device.</source>
        <translation>%1 を開けません: シリアルデバイスではありません。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: no serial port stands behind this device; it is probably a built-in port this computer does not have.</source>
        <translation>%1 を開けません: このデバイスの先にシリアルポートがありません。このコンピューターにない内蔵ポートと思われます。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2.</source>
        <translation>%1 を開けません: %2。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the address must read rfc2217://HOST:PORT or socket://HOST:PORT, an IPv6 address in brackets, the port from 1 to 65535.</source>
        <translation>%1 を開けません: アドレスは rfc2217://HOST:PORT または socket://HOST:PORT の形で書いてください。IPv6 アドレスは角かっこで囲み、ポートは 1 から 65535 です。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the host name %2 is not known.</source>
        <translation>%1 を開けません: ホスト名 %2 が見つかりません。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the name %2 could not be looked up within %3 ms.</source>
        <translation>%1 を開けません: 名前 %2 を %3 ms 以内に調べられませんでした。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: nothing is listening at %2 (connection refused).</source>
        <translation>%1 を開けません: %2 で待ち受けているものがありません (接続拒否)。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the network of %2 cannot be reached (%3).</source>
        <translation>%1 を開けません: %2 のネットワークに届きません (%3)。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2 did not answer within %3 ms.</source>
        <translation>%1 を開けません: %2 が %3 ms 以内に応答しませんでした。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2: %3.</source>
        <translation>%1 を開けません: %2: %3。</translation>
    </message>
    <message>
        <source>%1 is connecting to the device server.</source>
        <translation>%1 はデバイスサーバーに接続しています。</translation>
    </message>
    <message>
        <source>%1 is connected.</source>
        <translation>%1 は接続しました。</translation>
    </message>
    <message>
        <source>%1 was disconnected: the device went away.</source>
        <translation>%1 が切断されました: デバイスがなくなりました。</translation>
    </message>
    <message>
        <source>%1 was disconnected: the device server closed the connection.</source>
        <translation>%1 が切断されました: デバイスサーバーが接続を閉じました。</translation>
    </message>
    <message>
        <source>%1 was disconnected: the connection failed: %2.</source>
        <translation>%1 が切断されました: 接続が失敗しました: %2。</translation>
    </message>
    <message>
        <source>%1 is back and open again.</source>
        <translation>%1 が戻り、再び開きました。</translation>
    </message>
    <message>
        <source>%1 is not open: the command was not sent.</source>
        <translation>%1 は開いていません: コマンドは送信されませんでした。</translation>
    </message>
    <message>
        <source>%1 is still connecting: the command was not sent.</source>
        <translation>%1 はまだ接続中です: コマンドは送信されませんでした。</translation>
    </message>
    <message>
        <source>%1: the command could not be sent: %2.</source>
        <translation>%1: コマンドを送信できませんでした: %2。</translation>
    </message>
    <message>
        <source>%1: the commands waiting for the line fill the %2 KiB held for them: this one was not sent.</source>
        <translation>%1: 回線を待つコマンドが、そのために取ってある %2 KiB を満たしています: このコマンドは送信されませんでした。</translation>
    </message>
    <message>
        <source>%1 took nothing for %2 s: 1 command was not sent.</source>
        <translation>%1 は %2 秒間何も受け取りませんでした: 1 個のコマンドが送信されませんでした。</translation>
    </message>
    <message>
        <source>%1 took nothing for %2 s: %3 commands were not sent.</source>
        <translation>%1 は %2 秒間何も受け取りませんでした: %3 個のコマンドが送信されませんでした。</translation>
    </message>
    <message>
        <source>%1: the speed %2 baud cannot be applied: %3.</source>
        <translation>%1: 通信速度 %2 baud を設定できません: %3。</translation>
    </message>
    <message>
        <source>%1: %2 baud is recorded, but the speed of a raw TCP port (socket://) is set on the device server.</source>
        <translation>%1: %2 baud を記録しましたが、生の TCP ポート (socket://) の通信速度はデバイスサーバー側で設定します。</translation>
    </message>
    <message>
        <source>%1: the device server refuses to set the line (it does not offer RFC 2217).</source>
        <translation>%1: デバイスサーバーが回線の設定を断りました (RFC 2217 がありません)。</translation>
    </message>
    <message>
        <source>%1: the device server did not confirm the speed %2 baud, so the line may run at another speed.</source>
        <translation>%1: デバイスサーバーが通信速度 %2 baud を確認しませんでした。回線は別の速度で動いているかもしれません。</translation>
    </message>
    <message>
        <source>%1: the device server has now confirmed the speed %2 baud.</source>
        <translation>%1: デバイスサーバーが通信速度 %2 baud を確認しました。</translation>
    </message>
    <message>
        <source>%1: the device server set %2 baud when %3 was asked.</source>
        <translation>%1: %3 を求めたのに、デバイスサーバーは %2 baud を設定しました。</translation>
    </message>
    <message>
        <source>%1: the device server broke the Telnet protocol (a subnegotiation without end); what it held is shown as received.</source>
        <translation>%1: デバイスサーバーが Telnet プロトコルに反しました (終わらないサブネゴシエーション)。それに含まれていたものを受信として表示します。</translation>
    </message>
    <message>
        <source>%1: the device server broke the Telnet protocol (a subnegotiation left open); what it held is shown as received.</source>
        <translation>%1: デバイスサーバーが Telnet プロトコルに反しました (閉じられないサブネゴシエーション)。それに含まれていたものを受信として表示します。</translation>
    </message>
    <message>
        <source>Or start the panel with --com%1 DEVICE (a device server as rfc2217://HOST:PORT).</source>
        <translation>または、パネルを --com%1 DEVICE で起動してください (デバイスサーバーなら rfc2217://HOST:PORT)。</translation>
    </message>
    <message>
        <source>To try the panel without a projector, start it with --simulate.</source>
        <translation>プロジェクターなしで試すには、パネルを --simulate で起動してください。</translation>
    </message>
    <message>
        <source>To try the panel without a projector, start it from the menu: &quot;Try with a simulated projector&quot;.</source>
        <translation>プロジェクターなしで試すには、メニューの「シミュレーションのプロジェクターで試す」から起動してください。</translation>
    </message>
    <message>
        <source>Plug in the USB adapter, then choose COM%1 again.</source>
        <translation>USB アダプターを差し込んでから、もう一度 COM%1 を選んでください。</translation>
    </message>
    <message>
        <source>If it is ser2net, its accepter must read telnet(rfc2217),tcp,PORT: a tcp or plain telnet accepter carries data only. Or use socket:// and set the speed on the device server.</source>
        <translation>ser2net の場合、accepter は telnet(rfc2217),tcp,PORT でなければなりません。tcp や普通の telnet の accepter はデータしか通しません。または socket:// を使い、通信速度はデバイスサーバー側で設定してください。</translation>
    </message>
    <message>
        <source>Plug in the USB adapter, or give the device with --com%1 DEVICE (a device server as rfc2217://HOST:PORT).</source>
        <translation>USB アダプターを差し込むか、--com%1 DEVICE でデバイスを指定してください (デバイスサーバーなら rfc2217://HOST:PORT)。</translation>
    </message>
    <message>
        <source>Check that the cable or USB adapter is plugged in, and the device&apos;s name.</source>
        <translation>ケーブルか USB アダプターが差し込まれているか、デバイス名が正しいかを確かめてください。</translation>
    </message>
    <message>
        <source>Check that the cable or USB adapter is plugged in, then choose COM%1 again.</source>
        <translation>ケーブルか USB アダプターが差し込まれているか確かめてから、もう一度 COM%1 を選んでください。</translation>
    </message>
    <message>
        <source>Your user must be in the group &apos;%1&apos; that owns the device: sudo adduser YOUR-USER %1, then log in again.</source>
        <translation>ユーザーは、デバイスを所有するグループ &apos;%1&apos; に入っている必要があります: sudo adduser YOUR-USER %1 を実行し、ログインし直してください。</translation>
    </message>
    <message>
        <source>The user %1 must be in the group &apos;%2&apos; that owns the device: sudo adduser %1 %2, then log in again.</source>
        <translation>ユーザー %1 は、デバイスを所有するグループ &apos;%2&apos; に入っている必要があります: sudo adduser %1 %2 を実行し、ログインし直してください。</translation>
    </message>
    <message>
        <source>Close that program, then try again.</source>
        <translation>そのプログラムを閉じてから、もう一度試してください。</translation>
    </message>
    <message>
        <source>Close %1, then try again.</source>
        <translation>%1 を閉じてから、もう一度試してください。</translation>
    </message>
    <message>
        <source>Close that program, then choose the port again.</source>
        <translation>そのプログラムを閉じてから、もう一度ポートを選んでください。</translation>
    </message>
    <message>
        <source>Close %1, then choose the port again.</source>
        <translation>%1 を閉じてから、もう一度ポートを選んでください。</translation>
    </message>
    <message>
        <source>Remove it (sudo rm %1), then try again.</source>
        <translation>ロックを消してから (sudo rm %1)、もう一度試してください。</translation>
    </message>
    <message>
        <source>Remove it (sudo rm %1), then choose the port again.</source>
        <translation>ロックを消してから (sudo rm %1)、もう一度ポートを選んでください。</translation>
    </message>
    <message>
        <source>Give the serial device with --com%1 DEVICE, e.g. /dev/ttyUSB0 or one under /dev/serial/by-id/.</source>
        <translation>--com%1 DEVICE でシリアルデバイスを指定してください。例: /dev/ttyUSB0、または /dev/serial/by-id/ の下のもの。</translation>
    </message>
    <message>
        <source>Start the panel with --com%1 DEVICE, the serial device, e.g. /dev/ttyUSB0 or one under /dev/serial/by-id/.</source>
        <translation>パネルを --com%1 DEVICE (シリアルデバイス) で起動してください。例: /dev/ttyUSB0、または /dev/serial/by-id/ の下のもの。</translation>
    </message>
    <message>
        <source>Check the name, or give the device server&apos;s IP address.</source>
        <translation>名前を確かめるか、デバイスサーバーの IP アドレスを指定してください。</translation>
    </message>
    <message>
        <source>Check the network&apos;s name server, or give the device server&apos;s IP address.</source>
        <translation>ネットワークのネームサーバーを確かめるか、デバイスサーバーの IP アドレスを指定してください。</translation>
    </message>
    <message>
        <source>Check that the device server is running and that %1 is the port of its accepter.</source>
        <translation>デバイスサーバーが動いているか、%1 がその accepter のポートかを確かめてください。</translation>
    </message>
    <message>
        <source>Check the network connection and the address.</source>
        <translation>ネットワーク接続とアドレスを確かめてください。</translation>
    </message>
    <message>
        <source>Check that the device server is switched on and on the network, and that no firewall drops the port.</source>
        <translation>デバイスサーバーの電源が入っていてネットワークにつながっているか、ファイアウォールがポートを止めていないかを確かめてください。</translation>
    </message>
    <message>
        <source>It is reopened when it comes back, or choose the port again.</source>
        <translation>デバイスが戻ると自動的に開き直します。またはもう一度ポートを選んでください。</translation>
    </message>
    <message>
        <source>It is reconnected when the device server answers again, or choose the port again.</source>
        <translation>デバイスサーバーが再び応答すると自動的に接続し直します。またはもう一度ポートを選んでください。</translation>
    </message>
    <message>
        <source>Press COM and choose the port.</source>
        <translation>COM を押してポートを選んでください。</translation>
    </message>
    <message>
        <source>Send it again once the port is connected.</source>
        <translation>ポートが接続されてから、もう一度送信してください。</translation>
    </message>
    <message>
        <source>Wait until the line has taken the commands before it, or check the cable and the speed.</source>
        <translation>先に送ったコマンドを回線が送り終えるまで待つか、ケーブルと通信速度を確かめてください。</translation>
    </message>
    <message>
        <source>Check that the projector is switched on and the cable plugged in, then send again.</source>
        <translation>プロジェクターの電源が入っているか、ケーブルが差し込まれているかを確かめてから、もう一度送信してください。</translation>
    </message>
    <message>
        <source>For ser2net, set it in its connector, e.g. serialdev,/dev/ttyUSB0,%1n81,local; or use rfc2217:// to set it from here.</source>
        <translation>ser2net なら connector で設定してください。例: serialdev,/dev/ttyUSB0,%1n81,local。または rfc2217:// を使えばここから設定できます。</translation>
    </message>
    <message>
        <source>The device server may not offer that speed.</source>
        <translation>デバイスサーバーはその通信速度に対応していないかもしれません。</translation>
    </message>
    <message>
        <source>Check the device server.</source>
        <translation>デバイスサーバーを確かめてください。</translation>
    </message>
    <message>
        <source>COM%1: no serial port was found for it on this computer</source>
        <translation>COM%1: このコンピューターにはこのポートに当たるシリアルポートがありません</translation>
    </message>
    <message>
        <source>Plug in the USB adapter, or start the panel with --com1 DEVICE.</source>
        <translation>USB アダプターを差し込むか、パネルを --com1 DEVICE で起動してください。</translation>
    </message>
    <message>
        <source>No serial port was found on this computer.</source>
        <translation>このコンピューターにはシリアルポートがありません。</translation>
    </message>
    <message>
        <source>serial number %1</source>
        <translation>シリアル番号 %1</translation>
    </message>
    <message>
        <source>      the device %1
</source>
        <translation>      デバイス %1
</translation>
    </message>
    <message>
        <source>      the device %1: %2
</source>
        <translation>      デバイス %1: %2
</translation>
    </message>
    <message>
        <source>      this user may open it
</source>
        <translation>      このユーザーは開けます
</translation>
    </message>
    <message>
        <source>      this user may not open it: join the group &apos;%1&apos; (sudo adduser %2 %1, then log in again)
</source>
        <translation>      このユーザーは開けません: グループ &apos;%1&apos; に入ってください (sudo adduser %2 %1 を実行し、ログインし直す)
</translation>
    </message>
    <message>
        <source>No serial port the panel may use was found.</source>
        <translation>パネルが使えるシリアルポートがありません。</translation>
    </message>
    <message>
        <source>%1 is the system console: the panel never uses it.
</source>
        <translation>%1 はシステムコンソールです: パネルは使いません。
</translation>
    </message>
    <message>
        <source>%1: the command is longer than the %2 KiB held for the line: it was not sent.</source>
        <translation>%1: コマンドが、回線のために取ってある %2 KiB より長いため、送信されませんでした。</translation>
    </message>
    <message>
        <source>%1: another program reads this device too, and takes replies from it.</source>
        <translation>%1: ほかのプログラムもこのデバイスを読んでいて、応答を横取りしています。</translation>
    </message>
    <message>
        <source>%1: %2 (process %3) reads this device too, and takes replies from it.</source>
        <translation>%1: %2 (プロセス %3) もこのデバイスを読んでいて、応答を横取りしています。</translation>
    </message>
    <message>
        <source>Send it in shorter commands.</source>
        <translation>短いコマンドに分けて送ってください。</translation>
    </message>
    <message>
        <source>Close the other program (a serial terminal, a modem manager); the panel goes on reading.</source>
        <translation>そのプログラム (シリアル端末、モデムマネージャーなど) を閉じてください。パネルは読み続けます。</translation>
    </message>
    <message>
        <source>Close %1; the panel goes on reading.</source>
        <translation>%1 を閉じてください。パネルは読み続けます。</translation>
    </message>
</context>
<context>
    <name>qpv::Form1</name>
    <message>
        <source>%1 + CR</source>
        <translation>%1 + CR</translation>
    </message>
</context>
</TS>
