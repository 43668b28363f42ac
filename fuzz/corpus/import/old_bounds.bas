SetPtr MACRO  P1, P2, RETURNVALUE
#IF (PRM_COUNT > 1)
	#ERROR "SetPtr - Too many parameters"
#ELSE
	#IF (PRM_COUNT < 2)
		#ERROR "SetPtr - Too few parameters"
	#ELSE
		#IF(PRM_1 != WORD) && (PRM_1 != NUM16) && (PRM_1 != NUM8) && (PRM_1 != NUM32) && (PRM_1 != BYTE) && (PRM_1 != DWORD) && (PRM_1 != FLOAT)
			#ERROR "SetPtr - Addr(Param1) Should be a Word, Byte, DWord, Float variable or number"
		#ENDIF
		#IF(PRM_2 != BYTE) && (PRM_2 != NUM8) && (PRM_2 != NUM16) && (PRM_2 != NUM32)
			#ERROR "SetPtr - Cnt(Param2) Should be a Byte variable or number"
		#ENDIF
		#IF (PRM_1 == WORD)
			WORD_WORD P1, FSR0L
		#ENDIF
		#IF (PRM_1 == NUM16)
			NUM_WORD P1, FSR0L
		#ENDIF
		#IF (PRM_1 == NUM8)
			NUM_WORD P1, FSR0L
		#ENDIF
		#IF (PRM_1 == NUM32)
			NUM_WORD P1, FSR0L
		#ENDIF
		#IF (PRM_1 == BYTE)
			BYTE_WORD P1, FSR0L
		#ENDIF
		#IF (PRM_1 == DWORD)
			WORD_WORD P1, FSR0L
		#ENDIF
		#IF (PRM_1 == FLOAT)
			FLOAT_WORD P1, FSR0L
		#ENDIF
		#IF (PRM_2 == BYTE)
			BYTE_BYTE P2, _X
		#ENDIF
		#IF (PRM_2 == NUM8)
			NUM_BYTE P2, _X
		#ENDIF
		#IF (PRM_2 == NUM16)
			NUM_BYTE P2, _X
		#ENDIF
		#IF (PRM_2 == NUM32)
			NUM_BYTE P2, _X
		#ENDIF
		GoTo PtrSub
	#ENDIF
	#IF (SetPtr_LST_PRM == 1)
		#IF(LST_PRM_TYPE !=BYTE) && (LST_PRM_TYPE !=WORD) && (LST_PRM_TYPE !=DWORD) && (LST_PRM_TYPE !=FLOAT)
			#ERROR "SetPtr - Return variable should be a Byte, Word, DWord, Float variable"
		#ELSE
			#IF (LST_PRM_TYPE == BYTE)
				BYTE_BYTE _R, LST_PRM_NAME
			#ENDIF
			#IF (LST_PRM_TYPE == WORD)
				BYTE_BYTE _R, LST_PRM_NAME
			#ENDIF
			#IF (LST_PRM_TYPE == DWORD)
				BYTE_BYTE _R, LST_PRM_NAME
			#ENDIF
			#IF (LST_PRM_TYPE == FLOAT)
				FLOAT_BYTE _R, LST_PRM_NAME
			#ENDIF
		#ENDIF
	#ENDIF
#ENDIF
ENDM
