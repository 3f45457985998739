* counter.asm - counts real-time interrupts on an M68HC11E1 and prints the count through
* the SCI.
*
* Memory map: ROM E000-FFFF, RAM 0000-00FF, registers 1000-103F.
* The RTI fires every 8192 E cycles (4.1 ms with an 8 MHz crystal) and its handler counts.
* The main program prints each new count, 1 to 5, on a line of its own and stops at HALT.
* Build and run it with:  asm11 counter.asm && hc11run counter.pro --until-pc E03C

REGS    EQU     $1000           register block
TMSK2   EQU     $24             offsets into the register block
TFLG2   EQU     $25
PACTL   EQU     $26
BAUD    EQU     $2B
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
RTIF    EQU     $40             TFLG2: RTI flag, TMSK2: RTI interrupt enable
TDRE    EQU     $80             SCSR: transmit data register empty
TC      EQU     $40             SCSR: transmission complete
TE      EQU     $08             SCCR2: transmitter enable
LAST    EQU     5               the count that ends the run

        ORG     $0000
TICKS   RMB     1               RTI interrupts so far
SHOWN   RMB     1               the last count printed

        ORG     $E000
START   LDS     #$00FF          stack at the top of RAM
        LDX     #REGS           X points at the registers
        CLR     TICKS
        CLR     SHOWN
        CLR     BAUD,X          fastest rate: 160 E cycles a frame
        LDAA    #TE
        STAA    SCCR2,X         transmitter on, no interrupts
        CLR     PACTL,X         RTI every 8192 E cycles
        LDAA    #RTIF
        STAA    TFLG2,X         no stale flag
        STAA    TMSK2,X         RTI interrupt on
        CLI

* Wait for a tick not printed yet, then print the next count.
WAIT    LDAA    SHOWN
        CMPA    TICKS
        BEQ     WAIT
        INCA
        STAA    SHOWN
        TAB
        ADDB    #'0'
        BSR     PUTC
        LDAB    #$0D
        BSR     PUTC
        LDAB    #$0A
        BSR     PUTC
        LDAA    SHOWN
        CMPA    #LAST
        BNE     WAIT

* Wait until the last frame has left the shift register.
DONE    BRCLR   SCSR,X,#TC,DONE
        SEI
HALT    BRA     HALT

* Sends B through the SCI once there is room; X points at the registers.
PUTC    BRCLR   SCSR,X,#TDRE,PUTC
        STAB    SCDR,X
        RTS

* RTI handler: counts the tick and clears the flag.
TICK    INC     TICKS
        LDAA    #RTIF
        STAA    REGS+TFLG2
        RTI

        ORG     $FFF0
        FDB     TICK            RTI vector
        ORG     $FFFE
        FDB     START           reset vector
