* echo_poll.asm - reads lines through the SCI of an M68HC11E1 and sends each one back in
* upper case, polling the receive data register full flag.
*
* Memory map: ROM E000-FFFF, RAM 0000-00FF, registers 1000-103F.
* The program prints the prompt "> " and echoes each character as it arrives (Backspace
* or Delete takes the last one back); Enter (CR) ends the line, which comes back in upper
* case on a line of its own, and the next prompt follows (echo_lines.inc, shared with
* echo_irq.asm). The SCI runs at 9600 baud with the 8 MHz crystal.
* Build and run it at a terminal (Ctrl+] ends the run):
*     asm11 echo_poll.asm && hc11run echo_poll.pro --sci-in - --realtime

REGS    EQU     $1000           register block
BAUD    EQU     $2B             offsets into the register block
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
TDRE    EQU     $80             SCSR: transmit data register empty
RDRF    EQU     $20             SCSR: receive data register full
TE      EQU     $08             SCCR2: transmitter enable
RE      EQU     $04             SCCR2: receiver enable
B9600   EQU     $30             BAUD: SCP = 3, SCR = 0, 9600 baud at 8 MHz
CR      EQU     $0D
LF      EQU     $0A
BS      EQU     $08
DEL     EQU     $7F
SIZE    EQU     64              the longest line kept; further characters are dropped

        ORG     $0000
LINE    RMB     SIZE+1          the line read, ended by a zero byte

        ORG     $E000
START   LDS     #$00FF          stack at the top of RAM
        LDX     #REGS           X points at the registers throughout
        LDAA    #B9600
        STAA    BAUD,X
        LDAA    #TE+RE
        STAA    SCCR2,X         transmitter and receiver on, no interrupts

        #INCLUDE echo_lines.inc      the prompt and the line loop

* Waits for a received byte and returns it in B. Reading SCSR with RDRF set, then SCDR,
* clears RDRF.
GETC    BRCLR   SCSR,X,#RDRF,GETC
        LDAB    SCDR,X
        RTS

        ORG     $FFFE
        FDB     START           reset vector
